#include "dialogs/forms/Transcript.h"

#include "base/Cp1252.h"

#include <iostream>
#include <stdexcept>

namespace vendora {

std::string QuoteTranscriptValue(const std::string& utf8) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (char c : utf8) {
        const auto code = static_cast<unsigned char>(c);
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (code < 32 || code == 127) {
                out += "\\x";
                out += Hex[code >> 4];
                out += Hex[code & 15];
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

TranscriptField::TranscriptField(std::string name, const AnsiString& ansiText)
    : Name(std::move(name)), Value(QuoteTranscriptValue(AnsiToUtf8(ansiText))) {}

TranscriptField::TranscriptField(std::string name, long long number)
    : Name(std::move(name)), Value(std::to_string(number)) {}

TranscriptField TranscriptField::Utf8(std::string name, const std::string& utf8Text) {
    TranscriptField field(std::move(name), 0);
    field.Value = QuoteTranscriptValue(utf8Text);
    return field;
}

std::unique_ptr<Transcript> Transcript::Open(const std::string& hostPath) {
    if (hostPath.empty()) {
        auto transcript = std::make_unique<Transcript>(std::cerr);
        transcript->toStderr_ = true;
        return transcript;
    }
    auto file = std::make_unique<std::ofstream>(hostPath, std::ios::binary | std::ios::trunc);
    if (!*file)
        throw std::runtime_error("cannot write the ui transcript " + hostPath);
    auto transcript = std::make_unique<Transcript>(*file);
    transcript->file_ = std::move(file);
    return transcript;
}

namespace {

template <class Fields> void WriteRecord(std::ostream& out, const std::string& kind, const Fields& fields) {
    std::string line = kind;
    for (const TranscriptField& field : fields)
        line += " " + field.Name + "=" + field.Value;
    out << line << '\n';
    out.flush();
}

} // namespace

void Transcript::Write(const std::string& kind, std::initializer_list<TranscriptField> fields) {
    WriteRecord(*out_, kind, fields);
}

void Transcript::Write(const std::string& kind, const std::vector<TranscriptField>& fields) {
    WriteRecord(*out_, kind, fields);
}

} // namespace vendora
