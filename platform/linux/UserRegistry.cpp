#include "platform/linux/UserRegistry.h"

#include "base/Cp1252.h"
#include "platform/WindowsRules.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace vendora {

namespace {

struct Value {
    AnsiString Name;
    AnsiString Data;
};

struct Key {
    AnsiString Name;
    std::vector<Value> Values;
};

struct Hive {
    std::vector<Key> Keys;

    Key* Find(std::string_view name) {
        const auto it = std::find_if(Keys.begin(), Keys.end(),
                                     [&](const Key& k) { return SameNameNoCase(k.Name, name); });
        return it == Keys.end() ? nullptr : &*it;
    }
};

AnsiString TrimKey(std::string_view key) {
    while (!key.empty() && key.front() == '\\')
        key.remove_prefix(1);
    while (!key.empty() && key.back() == '\\')
        key.remove_suffix(1);
    return AnsiString(key);
}

// A quoted string starting at text[i] (the opening quote); i moves past the closing quote.
std::optional<AnsiString> ReadQuoted(std::string_view text, std::size_t& i) {
    if (i >= text.size() || text[i] != '"')
        return std::nullopt;
    AnsiString out;
    for (++i; i < text.size(); ++i) {
        if (text[i] == '"') {
            ++i;
            return out;
        }
        if (text[i] == '\\' && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return std::nullopt;
}

std::string Quote(std::string_view utf8) {
    std::string out = "\"";
    for (char c : utf8) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

// One value line: "name"="data" or @="data". Other lines are not values.
std::optional<Value> ParseValue(std::string_view line) {
    std::size_t i = 0;
    Value value;
    if (!line.empty() && line[0] == '@') {
        i = 1;
    } else {
        auto name = ReadQuoted(line, i);
        if (!name)
            return std::nullopt;
        value.Name = Utf8ToAnsi(*name);
    }
    if (i >= line.size() || line[i] != '=')
        return std::nullopt;
    ++i;
    auto data = ReadQuoted(line, i);
    if (!data)
        return std::nullopt;
    value.Data = Utf8ToAnsi(*data);
    return value;
}

Hive Load(const std::string& file) {
    Hive hive;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    Key* current = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string_view text = line;
        if (text.empty() || text[0] == ';')
            continue;
        if (text[0] == '[' && text.back() == ']') {
            const AnsiString name = TrimKey(Utf8ToAnsi(text.substr(1, text.size() - 2)));
            current = hive.Find(name);
            if (current == nullptr) {
                hive.Keys.push_back(Key{name, {}});
                current = &hive.Keys.back();
            }
        } else if (current != nullptr) {
            if (auto value = ParseValue(text))
                current->Values.push_back(std::move(*value));
        }
    }
    return hive;
}

bool Save(const std::string& file, const Hive& hive) {
    std::ostringstream out;
    out << "; "
        << "Current user's registry values (HKEY_CURRENT_USER) of the emulated Windows machine\n";
    for (const Key& key : hive.Keys) {
        out << "\n[" << AnsiToUtf8(key.Name) << "]\n";
        for (const Value& value : key.Values)
            out << (value.Name.empty() ? std::string("@") : Quote(AnsiToUtf8(value.Name))) << "="
                << Quote(AnsiToUtf8(value.Data)) << "\n";
    }
    // Written beside and renamed, so that a reader never sees half a file.
    const std::string temporary = file + ".new";
    {
        std::ofstream file_out(temporary, std::ios::binary | std::ios::trunc);
        file_out << out.str();
        if (!file_out.flush())
            return false;
    }
    return std::rename(temporary.c_str(), file.c_str()) == 0;
}

} // namespace

std::optional<AnsiString> UserRegistry::ReadString(std::string_view key, std::string_view value) const {
    Hive hive = Load(file_);
    const Key* found = hive.Find(TrimKey(key));
    if (found == nullptr)
        return std::nullopt;
    for (const Value& v : found->Values)
        if (SameNameNoCase(v.Name, value))
            return v.Data;
    return std::nullopt;
}

bool UserRegistry::WriteString(std::string_view key, std::string_view value, std::string_view data) const {
    Hive hive = Load(file_);
    Key* found = hive.Find(TrimKey(key));
    if (found == nullptr) {
        hive.Keys.push_back(Key{TrimKey(key), {}});
        found = &hive.Keys.back();
    }
    auto it = std::find_if(found->Values.begin(), found->Values.end(),
                           [&](const Value& v) { return SameNameNoCase(v.Name, value); });
    if (it == found->Values.end())
        found->Values.push_back(Value{AnsiString(value), AnsiString(data)});
    else
        it->Data = AnsiString(data);
    return Save(file_, hive);
}

bool UserRegistry::DeleteValue(std::string_view key, std::string_view value) const {
    Hive hive = Load(file_);
    Key* found = hive.Find(TrimKey(key));
    if (found == nullptr)
        return false;
    const auto before = found->Values.size();
    std::erase_if(found->Values, [&](const Value& v) { return SameNameNoCase(v.Name, value); });
    return found->Values.size() != before && Save(file_, hive);
}

} // namespace vendora
