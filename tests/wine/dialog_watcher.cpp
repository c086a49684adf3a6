#include "tests/wine/dialog_watcher.h"

#include <cwctype>

namespace setup::testing {

namespace {

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    return name;
}

std::wstring TextOf(HWND window) {
    int n = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    n = ::GetWindowTextW(window, text.data(), n + 1);
    text.resize(static_cast<size_t>(n));
    return text;
}

RECT RectIn(HWND parent, HWND child) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

struct Search {
    const std::wstring* title;
    HWND found = nullptr;
};

BOOL CALLBACK FindOwn(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid != ::GetCurrentProcessId() || !::IsWindowVisible(window)) return TRUE;
    bool match = search->title->empty() ? ClassOf(window) == L"#32770" : TextOf(window) == *search->title;
    if (!match) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

bool SameCaption(const std::wstring& a, const std::wstring& b) {
    auto strip = [](const std::wstring& s) {
        std::wstring out;
        for (wchar_t c : s)
            if (c != L'&') out += static_cast<wchar_t>(std::towlower(c));
        return out;
    };
    return strip(a) == strip(b);
}

std::wstring DialogSnapshot::Text() const {
    std::wstring out;
    for (const auto& t : texts) {
        if (!out.empty()) out += L'\n';
        out += t.text;
    }
    return out;
}

const DialogButton* DialogSnapshot::Button(const std::wstring& text) const {
    for (const auto& b : buttons)
        if (b.text == text) return &b;
    for (const auto& b : buttons)
        if (SameCaption(b.text, text)) return &b;
    return nullptr;
}

const DialogButton* DialogSnapshot::DefaultButton() const {
    for (const auto& b : buttons)
        if (b.is_default) return &b;
    return nullptr;
}

DialogSnapshot ReadDialog(HWND window) {
    DialogSnapshot s;
    s.found = true;
    s.window = window;
    s.class_name = ClassOf(window);
    s.title = TextOf(window);
    ::GetClientRect(window, &s.client);
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child)) continue;
        std::wstring cls = ClassOf(child);
        LONG_PTR style = ::GetWindowLongPtrW(child, GWL_STYLE);
        if (_wcsicmp(cls.c_str(), L"Static") == 0) {
            UINT type = static_cast<UINT>(style & SS_TYPEMASK);
            if (type == SS_ICON) {
                s.has_icon = true;
            } else if (std::wstring text = TextOf(child); !text.empty()) {
                s.texts.push_back({text, RectIn(window, child)});
            }
        } else if (_wcsicmp(cls.c_str(), L"Button") == 0) {
            UINT type = static_cast<UINT>(style & BS_TYPEMASK);
            if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) continue;
            s.buttons.push_back({TextOf(child), ::GetDlgCtrlID(child), type == BS_DEFPUSHBUTTON, RectIn(window, child)});
        }
    }
    return s;
}

DialogWatcher::DialogWatcher(std::wstring button, std::wstring title, DWORD timeout_ms)
    : DialogWatcher(Options{std::move(title), std::move(button), 0, timeout_ms}) {}

DialogWatcher::DialogWatcher(Options options)
    : options_(std::move(options)), thread_([this] { Run(); }) {}

DialogWatcher::~DialogWatcher() { Finish(); }

DialogSnapshot DialogWatcher::Finish() {
    if (!finished_) {
        if (thread_.joinable()) thread_.join();
        finished_ = true;
    }
    return result_;
}

void DialogWatcher::Run() {
    const ULONGLONG deadline = ::GetTickCount64() + options_.timeout_ms;
    Search search{&options_.title};
    while (!search.found && ::GetTickCount64() < deadline) {
        ::EnumWindows(FindOwn, reinterpret_cast<LPARAM>(&search));
        if (!search.found) ::Sleep(20);
    }
    if (!search.found) {
        result_.error = "no dialog appeared";
        return;
    }
    HWND dialog = search.found;
    ::Sleep(50);  // let the dialog finish its first layout and paint
    result_ = ReadDialog(dialog);

    const DialogButton* target = nullptr;
    if (!options_.button.empty()) {
        target = result_.Button(options_.button);
    } else {
        for (const auto& b : result_.buttons)
            if (b.id == options_.button_id) target = &b;
    }
    int id = options_.button.empty() ? options_.button_id : 0;
    if (target) {
        id = target->id;
    } else if (id == 0) {
        result_.error = "button not found";
        // Close the dialog anyway so the call under test returns.
        id = result_.buttons.empty() ? IDCANCEL : result_.buttons.back().id;
    }
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
    while (::IsWindow(dialog) && ::IsWindowVisible(dialog) && ::GetTickCount64() < deadline) ::Sleep(10);
    if (::IsWindow(dialog) && ::IsWindowVisible(dialog)) {
        if (result_.error.empty()) result_.error = "dialog stayed open after the button was pressed";
        ::PostMessageW(dialog, WM_CLOSE, 0, 0);
        return;
    }
    result_.pressed = result_.error.empty();
}

}  // namespace setup::testing
