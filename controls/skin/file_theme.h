// file_theme.h: TsuiFileTheme, one external skin file that skinned controls can draw from
// when their UIStyle is FromThemeFile.
//
// Assigning ThemeFile looks for the file (the path as given, then the same file name in the
// program's folder, the Windows folder and the system folder), reads it with Password and
// sets Ready. A file that exists nowhere changes nothing; a file that cannot be read leaves no
// skin loaded and Ready false (the reader's "Failed to read skin file!" stays internal).
//
// Controls that use a theme register as FileThemeClient: they are told when the theme loads a
// new skin (so they read their colours and bitmaps again) and when the theme is destroyed (so
// they forget it and fall back to DeepBlue).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/image.h"
#include "controls/skin/skin_file.h"

namespace setup::skin {

class TsuiFileTheme;

// The machine as the file theme sees it. Paths are GBK.
class SkinFileHost {
public:
    virtual ~SkinFileHost() = default;
    virtual bool FileExists(const std::string& path) = 0;
    // The whole file; nullopt when it cannot be read.
    virtual std::optional<std::vector<uint8_t>> ReadFile(const std::string& path) = 0;
    virtual std::string ModuleFolder() = 0;   // folder of the running program
    virtual std::string WindowsFolder() = 0;
    virtual std::string SystemFolder() = 0;
};

class FileThemeClient {
public:
    virtual void FileThemeReloaded(TsuiFileTheme& theme) = 0;
    virtual void FileThemeDestroyed(TsuiFileTheme& theme) = 0;

protected:
    ~FileThemeClient() = default;
};

class TsuiFileTheme {
public:
    explicit TsuiFileTheme(SkinFileHost& host);
    ~TsuiFileTheme();
    TsuiFileTheme(const TsuiFileTheme&) = delete;
    TsuiFileTheme& operator=(const TsuiFileTheme&) = delete;

    const std::string& ThemeFile() const { return theme_file_; }
    void SetThemeFile(const std::string& path);
    const std::string& Password() const { return password_; }
    // A non-empty password reloads ThemeFile with it.
    void SetPassword(const std::string& password);
    bool Ready() const { return skin_ != nullptr; }

    // Item numbers as in skin_file.h (only the low seven bits count). Without a loaded skin,
    // or for an item outside the list: no bitmap, colour 0, integer 0, flag false.
    const Image* GetBitmap(int item) const;
    // index and count both non-zero: frame index of count into *dest; otherwise the whole
    // bitmap. False (dest untouched) when there is no such bitmap.
    bool GetBitmapFrame(int item, Image* dest, int index, int count) const;
    Color GetColor(int item) const;
    int32_t GetInteger(int item) const;
    bool GetFlag(int item) const;

    void AddClient(FileThemeClient* client);
    void RemoveClient(FileThemeClient* client);

private:
    std::optional<std::string> Locate(const std::string& path);
    void Load();

    SkinFileHost& host_;
    std::string theme_file_;
    std::string password_;
    std::unique_ptr<SkinData> skin_;
    std::vector<FileThemeClient*> clients_;
};

// The file-name part of a Windows path (after the last "\", "/" or drive colon).
std::string FileNameOf(const std::string& path);

}  // namespace setup::skin
