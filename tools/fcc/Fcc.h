#pragma once
// The commands of the archive tool. Each returns the process's exit code and writes its report to out and
// its errors to err, in UTF-8.

#include <ostream>
#include <string>
#include <vector>

namespace vendora::fcc {

namespace Exit {
inline constexpr int Ok = 0;
inline constexpr int Failed = 1; // a bad archive, a bad folder, a disk error
inline constexpr int Usage = 2;  // a bad command line
} // namespace Exit

struct PackOptions {
    std::string Folder;
    std::string Output;
    int Level = 1;     // zlib's, 1 to 9
    bool Best = false; // libdeflate at its highest level instead
};

int Pack(const PackOptions& options, std::ostream& out, std::ostream& err);
int List(const std::string& archive, std::ostream& out, std::ostream& err);
int Extract(const std::string& archive, const std::string& folder, std::ostream& out, std::ostream& err);
int Verify(const std::string& archive, std::ostream& out, std::ostream& err);

// The command line without the program name.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace vendora::fcc
