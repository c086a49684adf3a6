// win_test_util.h: small helpers of the Windows tests: a throwaway folder, text conversion
// for messages, raw file reads, the folder of the test executable.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace setup::testing {

// A fresh folder under %TEMP%, removed with everything in it at the end of the scope.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::wstring& path() const { return path_; }  // with trailing "\"
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }
    std::string gbk() const;                             // path() in GBK
    std::string Gbk(const std::wstring& name) const;     // (path() + name) in GBK

private:
    std::wstring path_;
};

// Removes a folder tree without following links or junctions inside it.
void RemoveTree(const std::wstring& path);

std::string Utf8(const std::wstring& text);
bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& out);
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
std::wstring TestExeFolder();  // with trailing "\"
bool PathExists(const std::wstring& path);

}  // namespace setup::testing
