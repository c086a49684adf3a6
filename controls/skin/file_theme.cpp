#include "controls/skin/file_theme.h"

#include <algorithm>

#include "base/error.h"
#include "base/text.h"

namespace setup::skin {

namespace {

std::string WithBackslash(std::string folder) {
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

int Item(int item) { return item & 0x7F; }

}  // namespace

std::string FileNameOf(const std::string& path) {
    // Walk by characters: the second byte of a GBK character may be 0x5C ("\").
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        const auto b = static_cast<uint8_t>(path[i]);
        if (IsGbkLeadByte(b) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (b == '\\' || b == '/' || b == ':') start = i + 1;
    }
    return path.substr(start);
}

TsuiFileTheme::TsuiFileTheme(SkinFileHost& host) : host_(host) {}

TsuiFileTheme::~TsuiFileTheme() {
    // Clients may unregister while being told; work on a copy.
    auto clients = std::move(clients_);
    clients_.clear();
    for (FileThemeClient* c : clients) c->FileThemeDestroyed(*this);
}

std::optional<std::string> TsuiFileTheme::Locate(const std::string& path) {
    if (!path.empty() && host_.FileExists(path)) return path;
    const std::string name = FileNameOf(path);
    if (name.empty()) return std::nullopt;
    for (const std::string& folder : {host_.ModuleFolder(), host_.WindowsFolder(), host_.SystemFolder()}) {
        if (folder.empty()) continue;
        const std::string candidate = WithBackslash(folder) + name;
        if (host_.FileExists(candidate)) return candidate;
    }
    return std::nullopt;
}

void TsuiFileTheme::SetThemeFile(const std::string& path) {
    auto found = Locate(path);
    if (!found) return;  // exists nowhere: the skin in use stays
    theme_file_ = *found;
    Load();
}

void TsuiFileTheme::SetPassword(const std::string& password) {
    password_ = password;
    if (!password_.empty() && !theme_file_.empty()) SetThemeFile(theme_file_);
}

void TsuiFileTheme::Load() {
    skin_.reset();
    try {
        auto bytes = host_.ReadFile(theme_file_);
        if (!bytes) throw Error(std::string(kSkinReadError));
        skin_ = std::make_unique<SkinData>(ReadSkinFile(*bytes, password_));
    } catch (const Error&) {
        skin_.reset();  // the reader's message stays internal: the controls fall back
        return;
    }
    // Every control drawing from this theme reads its colours and bitmaps again.
    auto clients = clients_;
    for (FileThemeClient* c : clients)
        if (std::find(clients_.begin(), clients_.end(), c) != clients_.end()) c->FileThemeReloaded(*this);
}

const Image* TsuiFileTheme::GetBitmap(int item) const {
    item = Item(item);
    if (!skin_ || item >= kSkinBitmapCount || skin_->bitmaps[item].empty()) return nullptr;
    return &skin_->bitmaps[item];
}

bool TsuiFileTheme::GetBitmapFrame(int item, Image* dest, int index, int count) const {
    const Image* bitmap = GetBitmap(item);
    if (!bitmap || !dest) return false;
    if (index != 0 && count != 0)
        ExtractStripFrame(*bitmap, dest, count, index);
    else
        *dest = *bitmap;
    return true;
}

Color TsuiFileTheme::GetColor(int item) const {
    item = Item(item);
    return skin_ && item < kSkinColorCount ? skin_->colors[item] : 0;
}

int32_t TsuiFileTheme::GetInteger(int item) const {
    item = Item(item);
    return skin_ && item < kSkinIntegerCount ? skin_->integers[item] : 0;
}

bool TsuiFileTheme::GetFlag(int item) const {
    item = Item(item);
    return skin_ && item < kSkinFlagCount && skin_->flags[item];
}

void TsuiFileTheme::AddClient(FileThemeClient* client) {
    if (client && std::find(clients_.begin(), clients_.end(), client) == clients_.end()) clients_.push_back(client);
}

void TsuiFileTheme::RemoveClient(FileThemeClient* client) { std::erase(clients_, client); }

}  // namespace setup::skin
