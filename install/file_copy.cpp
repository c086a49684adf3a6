#include "install/file_copy.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "base/error.h"
#include "install/force_folder.h"
#include "install/path_text.h"
#include "package/safe_name.h"

namespace setup {
namespace {

struct PlannedFile {
    int index = 0;             // in the table
    uint64_t begin = 0, end = 0;  // its bytes in the payload
    std::string target;
    bool writable = false;     // a safe name whose bytes lie inside the payload
};

class FileCopy {
public:
    FileCopy(InstallContext& ctx, std::vector<PlannedFile> plan) : ctx_(ctx), plan_(std::move(plan)) {}

    // Receives the payload's next bytes. The piece is walked from one row's start or end to
    // the next, so that the copying page tells of each row in turn, as it would if the rows
    // were written one after another.
    void Take(std::span<const uint8_t> piece) {
        const uint64_t piece_start = at_, piece_end = at_ + piece.size();
        for (;;) {
            Settle();
            if (at_ == piece_end) break;
            uint64_t next = piece_end;
            if (next_ < plan_.size()) next = std::min(next, plan_[next_].begin);
            for (const auto& open : open_) next = std::min(next, open.row->end);
            const auto bytes = piece.subspan(static_cast<size_t>(at_ - piece_start), static_cast<size_t>(next - at_));
            for (auto& open : open_)
                if (open.file && !open.file->Write(bytes).ok()) Fail(open);
            std::erase_if(open_, [](const OpenFile& o) { return !o.file; });
            at_ = next;
        }
    }

    // After the pass: the rows at its very end (and every row of a payload of no bytes).
    void End() { Settle(); }

private:
    struct OpenFile {
        const PlannedFile* row;
        std::unique_ptr<FileSystem::NewFile> file;
    };

    // False when the row is done already (reported).
    bool Open(const PlannedFile& row) {
        ctx_.view.ShowFileName(ShortenPath(row.target, kFileNameDisplayLimit));
        OpenFile open{&row, nullptr};
        if (row.writable) {
            FileSystem::WriteResult result;
            open.file = ctx_.platform.fs.CreateNewFile(row.target, result);
        }
        if (!open.file) {
            Fail(open);
            return false;
        }
        open_.push_back(std::move(open));
        return true;
    }

    // At the position the pass has reached: the open rows that end here are put in place,
    // then the rows that begin here are opened (an empty one is done at once).
    void Settle() {
        for (auto& open : open_)
            if (open.row->end == at_) Finish(open);
        std::erase_if(open_, [](const OpenFile& o) { return !o.file; });
        while (next_ < plan_.size() && plan_[next_].begin == at_) {
            if (Open(plan_[next_++]) && open_.back().row->end == at_) {
                Finish(open_.back());
                open_.pop_back();
            }
        }
    }

    // An old file in use (a running program) is not replaced: the user may end that program
    // and retry, or go on without the file.
    void Finish(OpenFile& open) {
        FileSystem::WriteResult result = open.file->Commit();
        while (result.stage == FileSystem::WriteResult::kReplaceFailed &&
               ctx_.platform.dialogs.MessageBox(kFileInUseText + open.row->target, ctx_.box_title,
                                                kMbRetryCancel | kMbIconExclamation) == kIdRetry)
            result = open.file->Commit();
        if (result.stage == FileSystem::WriteResult::kReplaceFailed) {
            open.file.reset();
            ctx_.report.AddFile(open.row->target);
            Done(*open.row);
            return;
        }
        if (!result.ok()) {
            Fail(open);
            return;
        }
        open.file.reset();
        Done(*open.row);
    }

    // The per-file message, at once; the temporary file goes with the handle.
    void Fail(OpenFile& open) {
        open.file.reset();
        ctx_.report.AddFile(open.row->target);
        ctx_.platform.dialogs.MessageBox(kFileErrorText + open.row->target, ctx_.box_title, kMbOk | kMbIconInformation);
        Done(*open.row);
    }

    void Done(const PlannedFile& row) {
        const int count = ctx_.config.FileCount();
        position_ = std::max(position_, static_cast<int>(int64_t{row.index} * 100 / count));
        ctx_.view.SetProgress(kCopyBarColour, position_);
    }

    InstallContext& ctx_;
    const std::vector<PlannedFile> plan_;
    size_t next_ = 0;            // the first row not opened yet
    uint64_t at_ = 0;            // payload bytes seen so far
    std::vector<OpenFile> open_;
    int position_ = 0;
};

// True when a folder below `top` on the way to `folder` (folder included) is a link or
// junction: the setup never makes one, so someone else put it there.
bool LinkBetween(FileSystem& fs, const std::string& top, const std::string& folder) {
    for (std::string at = folder; at.size() > top.size(); at = FolderOf(at))
        if (fs.IsLink(at)) return true;
    return false;
}

}  // namespace

void CopyFiles(InstallContext& ctx) {
    Platform& p = ctx.platform;
    const std::string folder = ctx.config.Folder();
    const int count = ctx.config.FileCount();
    const uint64_t payload_size = ctx.payload.size();
    std::vector<PlannedFile> plan;
    for (int i = 0; i < count; ++i) {
        const FileRow row = ctx.config.File(i);
        PlannedFile file{i, row.offset, uint64_t{row.offset} + row.size, folder + row.name, false};
        if (file.target.find("*.") != std::string::npos) continue;  // wildcard rows are never files
        // A stored name that would leave the target folder (or that Windows would read as
        // something else: a device, a stream) is reported like an unwritable file, and its
        // folders are not created.
        // Its folders inside the target are made here (or must be real folders: a link there
        // would lead the file elsewhere); a row whose folder cannot be had is reported too.
        const bool safe = IsSafeStoredName(row.name);
        const bool folder_ok = safe && !LinkBetween(p.fs, folder, FolderOf(file.target)) &&
                               ForceFolder(p.fs, FolderOf(file.target));
        file.writable = folder_ok && file.end <= payload_size;
        // A row that cannot be written is reported where its bytes would begin.
        if (!file.writable) file.begin = file.end = std::min<uint64_t>(file.begin, payload_size);
        plan.push_back(std::move(file));
    }
    std::sort(plan.begin(), plan.end(), [](const PlannedFile& a, const PlannedFile& b) {
        return a.begin != b.begin ? a.begin < b.begin : a.index < b.index;
    });

    FileCopy copy(ctx, std::move(plan));
    ctx.payload.Stream([&](std::span<const uint8_t> piece) {
        copy.Take(piece);
        ctx.view.KeepResponsive();
    });
    copy.End();
}

}  // namespace setup
