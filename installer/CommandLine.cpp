#include "installer/CommandLine.h"

namespace vendora {

namespace {

bool IsSeparator(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// Reads one argument from position at; returns false when nothing but separators and empty quotes is left.
bool NextArgument(const AnsiString& line, std::size_t& at, AnsiString& argument) {
    argument.clear();
    for (;;) {
        while (at < line.size() && IsSeparator(line[at]))
            ++at;
        if (at + 1 < line.size() && line[at] == '"' && line[at + 1] == '"')
            at += 2;
        else
            break;
    }
    if (at >= line.size())
        return false;
    while (at < line.size() && !IsSeparator(line[at])) {
        if (line[at] != '"') {
            argument += line[at++];
            continue;
        }
        ++at;
        while (at < line.size() && line[at] != '"')
            argument += line[at++];
        if (at < line.size())
            ++at;
    }
    return true;
}

} // namespace

std::vector<AnsiString> SplitCommandLine(const AnsiString& commandLine) {
    std::vector<AnsiString> arguments;
    std::size_t at = 0;
    AnsiString argument;
    while (NextArgument(commandLine, at, argument) && !argument.empty())
        arguments.push_back(argument);
    return arguments;
}

AnsiString ParamStr(const AnsiString& commandLine, std::size_t index) {
    const std::vector<AnsiString> arguments = SplitCommandLine(commandLine);
    return index < arguments.size() ? arguments[index] : AnsiString();
}

AnsiString JoinCommandLine(const std::vector<AnsiString>& arguments) {
    AnsiString line;
    for (const AnsiString& argument : arguments) {
        if (!line.empty())
            line += ' ';
        bool quote = argument.empty();
        for (char c : argument)
            quote = quote || IsSeparator(c);
        line += quote ? '"' + argument + '"' : argument;
    }
    return line;
}

} // namespace vendora
