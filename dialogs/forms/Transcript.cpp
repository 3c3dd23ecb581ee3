#include "dialogs/forms/Transcript.h"

#include "base/Cp1252.h"

#include <cstdio>
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
    std::FILE* file = hostPath.empty() ? stderr : std::fopen(hostPath.c_str(), "wb");
    if (file == nullptr)
        throw std::runtime_error("cannot write the ui transcript " + hostPath);
    auto transcript = std::make_unique<Transcript>([file](const std::string& line) {
        std::fwrite(line.data(), 1, line.size(), file);
        std::fflush(file);
    });
    transcript->toStderr_ = hostPath.empty();
    transcript->file_ = hostPath.empty() ? nullptr : file;
    return transcript;
}

Transcript::~Transcript() {
    if (file_ != nullptr)
        std::fclose(file_);
}

namespace {

template <class Fields> std::string RecordLine(const std::string& kind, const Fields& fields) {
    std::string line = kind;
    for (const TranscriptField& field : fields)
        line += " " + field.Name + "=" + field.Value;
    return line;
}

template <class Fields>
void WriteRecord(const Transcript::Sink& sink, const std::string& kind, const Fields& fields) {
    sink(RecordLine(kind, fields) + '\n');
}

} // namespace

std::vector<std::string> AccessibleRecords(const AccessibleTree& tree) {
    std::vector<std::string> lines;
    lines.push_back(RecordLine("access", std::initializer_list<TranscriptField>{
                                             {"window", tree.Name},
                                             TranscriptField::Utf8("role", RoleName(tree.Role)),
                                             {"children", static_cast<long long>(tree.Children.size())}}));
    long long child = 0;
    for (const AccessibleElement& element : tree.Children) {
        lines.push_back(RecordLine("access", std::initializer_list<TranscriptField>{
                                                 {"child", ++child},
                                                 TranscriptField::Utf8("role", RoleName(element.Role)),
                                                 {"name", element.Name},
                                                 {"value", element.Value},
                                                 TranscriptField::Utf8("states", StateNames(element.States)),
                                                 {"shortcut", element.Shortcut}}));
    }
    return lines;
}

void Transcript::WriteTree(const AccessibleTree& tree) {
    for (const std::string& line : AccessibleRecords(tree))
        sink_(line + '\n');
}

void Transcript::Write(const std::string& kind, std::initializer_list<TranscriptField> fields) {
    WriteRecord(sink_, kind, fields);
}

void Transcript::Write(const std::string& kind, const std::vector<TranscriptField>& fields) {
    WriteRecord(sink_, kind, fields);
}

} // namespace vendora
