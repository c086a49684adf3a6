#include "tests/support/fake_platform.h"

#include <algorithm>

#include "base/error.h"

namespace setup::testing {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

const char* RootName(RegRoot root) {
    switch (root) {
        case RegRoot::LocalMachine: return "HKLM";
        case RegRoot::CurrentUser: return "HKCU";
        case RegRoot::ClassesRoot: return "HKCR";
    }
    return "?";
}

std::string ParentOf(const std::string& norm) {
    auto pos = norm.rfind('\\');
    if (pos == std::string::npos) return {};
    std::string parent = norm.substr(0, pos);
    return parent;
}

}  // namespace

std::string NormPath(std::string_view path) {
    std::string p = Lower(path);
    // Win32 drops trailing blanks and dots of the last component ("D: " is "D:").
    while (!p.empty() && (p.back() == ' ' || p.back() == '.')) p.pop_back();
    if (p.size() > 2 && p.back() == '\\') p.pop_back();
    if (p.size() == 3 && p[1] == ':' && p[2] == '\\') p.pop_back();
    return p;
}

FakeFileSystem::FakeFileSystem(std::vector<std::string>& log_) : log(log_) {}

void FakeFileSystem::AddDrive(char letter) {
    dirs.insert(NormPath(std::string(1, letter) + ":"));
}

void FakeFileSystem::AddDirTree(std::string_view path) {
    std::string p = NormPath(path);
    for (size_t i = 0; i <= p.size(); ++i)
        if (i == p.size() || p[i] == '\\') dirs.insert(p.substr(0, i));
}

void FakeFileSystem::AddFile(std::string_view path, std::string_view content) {
    files[NormPath(path)] = std::vector<uint8_t>(content.begin(), content.end());
}

const std::vector<uint8_t>* FakeFileSystem::File(std::string_view path) const {
    auto it = files.find(NormPath(path));
    return it == files.end() ? nullptr : &it->second;
}

bool FakeFileSystem::DirectoryExists(const std::string& path) {
    return dirs.count(NormPath(path)) != 0;
}

bool FakeFileSystem::FileExists(const std::string& path) {
    return files.count(NormPath(path)) != 0;
}

bool FakeFileSystem::CreateDirectory(const std::string& path) {
    std::string n = NormPath(path);
    if (dirs.count(n) || files.count(n) || unwritable_dirs.count(n)) return false;
    if (!dirs.count(ParentOf(n))) return false;
    dirs.insert(n);
    log.push_back("mkdir " + path);
    return true;
}

bool FakeFileSystem::DeleteFile(const std::string& path) {
    std::string n = NormPath(path);
    if (locked.count(n) || !files.erase(n)) return false;
    log.push_back("delete " + path);
    return true;
}

std::string FakeFileSystem::CreatePrivateFolder(const std::string& parent, const std::string& prefix,
                                                WriteResult& result) {
    const std::string p = NormPath(parent);
    if (!dirs.count(p) || unwritable_dirs.count(p)) {
        result = {WriteResult::kCreateFailed, "Access denied"};
        return {};
    }
    for (int i = 1;; ++i) {
        const std::string path = parent + "\\" + prefix + std::to_string(i);
        const std::string n = NormPath(path);
        if (dirs.count(n) || files.count(n)) continue;
        dirs.insert(n);
        private_dirs.insert(n);
        log.push_back("mkdir-private " + path);
        result = {};
        return path;
    }
}

bool FakeFileSystem::RemoveDirectory(const std::string& path) {
    const std::string n = NormPath(path);
    if (!dirs.count(n)) return false;
    for (const auto& [name, bytes] : files)
        if (ParentOf(name) == n) return false;
    for (const std::string& d : dirs)
        if (ParentOf(d) == n) return false;
    dirs.erase(n);
    private_dirs.erase(n);
    log.push_back("rmdir " + path);
    return true;
}

namespace {

// Written under "<path>.~new" in `files`, moved over the path by Commit.
class FakeNewFile final : public FileSystem::NewFile {
public:
    FakeNewFile(FakeFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)), temp_(NormPath(path_) + ".~new") {
        fs_.files[temp_].clear();
    }
    ~FakeNewFile() override { fs_.files.erase(temp_); }
    FileSystem::WriteResult Write(std::span<const uint8_t> bytes) override {
        if (fs_.disk_full && !bytes.empty()) return {FileSystem::WriteResult::kWriteFailed, "There is not enough space on the disk"};
        std::vector<uint8_t>& data = fs_.files[temp_];
        data.insert(data.end(), bytes.begin(), bytes.end());
        return {};
    }
    FileSystem::WriteResult Commit() override {
        const std::string n = NormPath(path_);
        if (fs_.locked.count(n) || fs_.dirs.count(n))
            return {FileSystem::WriteResult::kReplaceFailed, "The process cannot access the file because it is being used by another process"};
        fs_.files[n] = std::move(fs_.files[temp_]);
        fs_.files.erase(temp_);
        fs_.log.push_back("write " + path_);
        return {};
    }

private:
    FakeFileSystem& fs_;
    std::string path_, temp_;
};

}  // namespace

std::unique_ptr<FileSystem::NewFile> FakeFileSystem::CreateNewFile(const std::string& path, WriteResult& result) {
    const std::string n = NormPath(path);
    if (!dirs.count(ParentOf(n)) || unwritable_dirs.count(ParentOf(n)) || dirs.count(n)) {
        result = {WriteResult::kCreateFailed, "Access denied"};
        return nullptr;
    }
    result = {};
    return std::make_unique<FakeNewFile>(*this, path);
}

FileSystem::WriteResult FakeFileSystem::WriteNewFile(const std::string& path, std::span<const uint8_t> bytes) {
    std::string n = NormPath(path);
    if (files.count(n) && !locked.count(n)) files.erase(n);
    if (files.count(n) || dirs.count(n)) return {WriteResult::kCreateFailed, "Cannot create a file when that file already exists"};
    if (!dirs.count(ParentOf(n))) return {WriteResult::kCreateFailed, "Access denied"};
    if (disk_full && !bytes.empty()) return {WriteResult::kWriteFailed, "There is not enough space on the disk"};
    files[n].assign(bytes.begin(), bytes.end());
    log.push_back("write " + path);
    return {};
}

bool FakeFileSystem::SetCurrentDirectory(const std::string& path) {
    if (!DirectoryExists(path)) return false;
    current_dir = path;
    log.push_back("cd " + path);
    return true;
}

FakeRegistry::FakeRegistry(std::vector<std::string>& log_) : log(log_) {}

std::string FakeRegistry::NormKey(RegRoot root, std::string_view key) {
    std::string k = Lower(key);
    while (!k.empty() && k.front() == '\\') k.erase(k.begin());
    while (!k.empty() && k.back() == '\\') k.pop_back();
    return std::string(RootName(root)) + "\\" + k;
}

const FakeRegistry::Value* FakeRegistry::Find(RegRoot root, std::string_view key, std::string_view name) const {
    auto k = keys.find(NormKey(root, key));
    if (k == keys.end()) return nullptr;
    auto v = k->second.find(Lower(name));
    return v == k->second.end() ? nullptr : &v->second;
}

bool FakeRegistry::HasKey(RegRoot root, std::string_view key) const {
    return keys.count(NormKey(root, key)) != 0;
}

bool FakeRegistry::CreateKey(RegRoot root, const std::string& key) {
    std::string k = NormKey(root, key);
    if (denied.count(k)) return false;
    if (!keys.count(k)) log.push_back("regkey " + k);
    keys[k];
    return true;
}

bool FakeRegistry::SetDword(RegRoot root, const std::string& key, const std::string& name, uint32_t value) {
    if (!CreateKey(root, key)) return false;
    Value v;
    v.is_dword = true;
    v.dword = value;
    keys[NormKey(root, key)][Lower(name)] = v;
    log.push_back("regdword " + NormKey(root, key) + " " + name + "=" + std::to_string(value));
    return true;
}

bool FakeRegistry::SetString(RegRoot root, const std::string& key, const std::string& name, const std::string& value) {
    if (!CreateKey(root, key)) return false;
    Value v;
    v.str = value;
    keys[NormKey(root, key)][Lower(name)] = v;
    log.push_back("regsz " + NormKey(root, key) + " " + name + "=" + value);
    return true;
}

std::optional<uint32_t> FakeRegistry::GetDword(RegRoot root, const std::string& key, const std::string& name) {
    if (denied.count(NormKey(root, key))) return std::nullopt;
    const Value* v = Find(root, key, name);
    if (!v || !v->is_dword) return std::nullopt;
    return v->dword;
}

std::optional<std::string> FakeRegistry::GetString(RegRoot root, const std::string& key, const std::string& name) {
    if (denied.count(NormKey(root, key))) return std::nullopt;
    const Value* v = Find(root, key, name);
    if (!v || v->is_dword) return std::nullopt;
    return v->str;
}

FakeShell::FakeShell(std::vector<std::string>& log_) : log(log_) {}

Shell::LinkResult FakeShell::CreateShellLink(const std::string& link_path, const ShellLinkFields& fields) {
    if (link_result != LinkResult::kOk) return link_result;
    links[NormPath(link_path)] = fields;
    if (fs) fs->files[NormPath(link_path)] = {'L'};
    log.push_back("link " + link_path);
    return LinkResult::kOk;
}

void FakeShell::Execute(const std::string& verb, const std::string& file, const std::string& params,
                        const std::string& dir, int show_cmd, bool owner_main_window) {
    executed.push_back({verb, file, params, dir, show_cmd, owner_main_window});
    log.push_back("exec " + verb + " " + file);
}

bool FakeShell::StartProcess(const ProcessStart& start) {
    started.push_back(start);
    log.push_back("start " + start.program);
    return !start_fails;
}

void FakeShell::TerminateProcess(uint32_t pid) {
    terminated.push_back(pid);
    log.push_back("kill " + std::to_string(pid));
}

void FakeShell::Sleep(uint32_t ms) {
    sleeps.push_back(ms);
    log.push_back("sleep " + std::to_string(ms));
}

FakeDialogs::FakeDialogs(std::vector<std::string>& log_) : log(log_) {}

int FakeDialogs::MessageBox(const std::string& text, const std::string& title, unsigned flags) {
    boxes.push_back({text, title, flags});
    log.push_back("msgbox " + text);
    if (on_box) on_box();
    if (!answers.empty()) {
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    return (flags & 0x0F) == kMbYesNo ? kIdYes : kIdOk;
}

bool FakeDialogs::Confirm(const std::string& text) {
    confirms.push_back(text);
    log.push_back("confirm " + text);
    if (confirm_answers.empty()) return true;
    bool a = confirm_answers.front();
    confirm_answers.pop_front();
    return a;
}

void FakeDialogs::ShowError(const std::string& text) {
    errors.push_back(text);
    log.push_back("error " + text);
}

std::string FakeDialogs::BrowseForFolder(const std::string& title) {
    browse_titles.push_back(title);
    return browse_result;
}

std::span<const uint8_t> FakeResources::Find(const std::string& name) {
    auto it = items.find(name);
    if (it == items.end()) throw Error("Resource " + name + " not found");
    return it->second;
}

FakeMachine::FakeMachine() {
    fs.AddDrive('C');
    fs.AddDirTree(kDesktop);
    fs.AddDirTree(kPrograms);
    fs.AddDirTree("C:\\Downloads");
    fs.AddDirTree("C:\\Windows\\System32");
    fs.AddDirTree("C:\\Windows\\Temp");
    shell.fs = &fs;
    const std::string sf = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    reg.SetString(RegRoot::CurrentUser, sf, "Desktop", kDesktop);
    reg.SetString(RegRoot::CurrentUser, sf, "Programs", kPrograms);
    log.clear();
}

}  // namespace setup::testing
