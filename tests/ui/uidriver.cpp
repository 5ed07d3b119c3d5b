// UI driver: runs beside a program under test (under Wine on Xvfb) and drives its windows from a
// small script, printing what it saw so that the suite can assert on it.
//
//   uidriver.exe -f SCRIPT          commands from a file, one per line ('#' first: a comment)
//   uidriver.exe CMD ARGS ; CMD ... commands on the command line, separated by ';' arguments
//
// Arguments are whitespace-separated words or "double-quoted texts"; inside quotes \n, \r, \t, \"
// and \\ are escapes. A control is named by its decimal id or, when the word is not a number, by
// its exact text (the first visible control carrying it). Controls are searched in the current
// window and all its descendants, so pages that are child dialogs of a frame are reached too.
//
//   timeout MS                  default wait for the commands below (initially 20000)
//   wait CLASS CAPTION [MS]     wait for a visible top-level window; it becomes the current window.
//                               "*" matches any class or caption; a caption ending in '*' is a
//                               prefix
//   gone [MS]                   wait until the current window is destroyed or hidden
//   absent CLASS CAPTION MS     fail if such a window shows up within MS
//   text CTRL                   print the control's text
//   expect CTRL TEXT            fail unless the control's text is exactly TEXT
//   caption TEXT                fail unless the current window's caption is exactly TEXT
//   state CTRL                  print checked, enabled and visible states
//   expect-checked CTRL 0|1     also expect-enabled, expect-visible
//   click CTRL                  post BM_CLICK to a button (never blocks on what the click opens)
//   command ID                  post WM_COMMAND(ID) to the current window (Esc is command 2)
//   type CTRL TEXT              set an edit control's text with WM_SETTEXT
//   close                       post WM_CLOSE to the current window
//   controls                    print every descendant: id, class, style, text
//   msgbox CAPTION [BUTTON [TEXT]]
//                               wait for a message box with that caption, print caption and text,
//                               fail unless its text is TEXT (when given and not "*"), then press
//                               BUTTON (ok, cancel, yes, no, abort, retry, ignore or an id; "-"
//                               none)
//   nomsgbox CAPTION MS         fail if a message box with that caption shows up within MS
//   snap NAME                   print "SNAP NAME" and wait for a line on standard input (the suite
//                               takes a screenshot meanwhile)
//   sleep MS, echo TEXT, windows (list visible top-level windows)
//
// Output lines: WINDOW, GONE, TEXT, STATE, CONTROL, MSGBOX, SNAP, ECHO, WIN, and FAIL on failure.
// Texts are printed quoted with the escapes above. Exit status: 0 all commands done; 1 an
// expectation failed; 2 an expected window did not come (or did not go); 3 a bad script.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Words = std::vector<std::string>;

DWORD g_timeout = 20000;
HWND g_window = nullptr;
const DWORD kPollMs = 20;

enum Exit { kOk = 0, kExpectation = 1, kNoWindow = 2, kBadScript = 3 };

[[noreturn]] void Fail(int code, const std::string& message) {
    printf("FAIL: %s\n", message.c_str());
    fflush(stdout);
    exit(code);
}

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += c;
        }
    }
    return out + "\"";
}

// Splits one script line into words; quoted texts keep their spaces and lose their escapes.
Words SplitLine(const std::string& line) {
    Words words;
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] == '#')
        return words;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        if (i >= line.size())
            break;
        std::string word;
        if (line[i] == '"') {
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && i + 1 < line.size()) {
                    char e = line[++i];
                    word += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
                } else {
                    word += line[i];
                }
            }
            ++i;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
                word += line[i++];
        }
        words.push_back(word);
    }
    return words;
}

std::string Unescape(const std::string& arg) {
    std::string out;
    for (size_t i = 0; i < arg.size(); ++i) {
        if (arg[i] == '\\' && i + 1 < arg.size()) {
            char e = arg[++i];
            out += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
        } else {
            out += arg[i];
        }
    }
    return out;
}

std::string ClassOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// WM_GETTEXT is marshalled between processes, so edit controls' own buffers are read too.
std::string TextOf(HWND window) {
    static char buffer[65536];
    DWORD_PTR length = 0;
    buffer[0] = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                             SMTO_ABORTIFHUNG, 5000, &length))
        GetWindowTextA(window, buffer, sizeof buffer);
    buffer[sizeof buffer - 1] = 0;
    return buffer;
}

bool MatchesOne(const std::string& pattern, const std::string& value) {
    if (pattern == "*")
        return true;
    if (!pattern.empty() && pattern.back() == '*')
        return value.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0;
    return pattern == value;
}

// "A|B" matches what either alternative matches.
bool Matches(const std::string& pattern, const std::string& value) {
    size_t start = 0;
    for (;;) {
        size_t bar = pattern.find('|', start);
        if (MatchesOne(pattern.substr(start, bar - start), value))
            return true;
        if (bar == std::string::npos)
            return false;
        start = bar + 1;
    }
}

struct WindowQuery {
    std::string className, caption;
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM param) {
    auto* query = reinterpret_cast<WindowQuery*>(param);
    if (!IsWindowVisible(window))
        return TRUE;
    if (Matches(query->className, ClassOf(window)) && Matches(query->caption, TextOf(window))) {
        query->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindWindowNow(const std::string& className, const std::string& caption) {
    WindowQuery query{className, caption, nullptr};
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND WaitWindow(const std::string& className, const std::string& caption, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND w = FindWindowNow(className, caption))
            return w;
        if (GetTickCount() - start >= ms)
            return nullptr;
        Sleep(kPollMs);
    }
}

struct ControlQuery {
    bool byId;
    int id;
    std::string text;
    HWND found;
};

BOOL CALLBACK FindControl(HWND window, LPARAM param) {
    auto* query = reinterpret_cast<ControlQuery*>(param);
    if (query->byId ? (GetDlgCtrlID(window) == query->id && IsWindowVisible(window))
                    : (IsWindowVisible(window) && TextOf(window) == query->text)) {
        query->found = window;
        return FALSE;
    }
    return TRUE;
}

bool ParseNumber(const std::string& word, long* value) {
    if (word.empty())
        return false;
    char* end;
    *value = strtol(word.c_str(), &end, 0);
    return *end == 0;
}

HWND Control(const std::string& name) {
    if (!g_window || !IsWindow(g_window))
        Fail(kNoWindow, "no current window for control " + Quote(name));
    long id;
    ControlQuery query{ParseNumber(name, &id), 0, name, nullptr};
    if (query.byId) {
        query.id = static_cast<int>(id);
        // GetDlgItem also finds hidden direct children; descendants are searched when it fails.
        if (HWND direct = GetDlgItem(g_window, query.id))
            return direct;
    }
    EnumChildWindows(g_window, FindControl, reinterpret_cast<LPARAM>(&query));
    if (!query.found)
        Fail(kExpectation, "no control " + Quote(name) + " in " + Quote(TextOf(g_window)));
    return query.found;
}

struct MessageBoxInfo {
    HWND window;
    std::string text;
};

// A message box is a #32770 dialog; its text is the static with id 0xFFFF.
BOOL CALLBACK FindBoxText(HWND window, LPARAM param) {
    if ((GetDlgCtrlID(window) & 0xFFFF) == 0xFFFF && ClassOf(window) == "Static") {
        std::string text = TextOf(window);
        if (!text.empty())
            *reinterpret_cast<std::string*>(param) = text;
    }
    return TRUE;
}

MessageBoxInfo WaitMessageBox(const std::string& caption, DWORD ms) {
    MessageBoxInfo info{WaitWindow("#32770", caption, ms), ""};
    if (info.window) {
        // The box may be found before its controls exist; give it a moment to fill.
        for (int i = 0; i < 50 && info.text.empty(); ++i) {
            EnumChildWindows(info.window, FindBoxText, reinterpret_cast<LPARAM>(&info.text));
            if (info.text.empty())
                Sleep(kPollMs);
        }
    }
    return info;
}

int ButtonId(const std::string& name) {
    static const struct {
        const char* name;
        int id;
    } kButtons[] = {{"ok", IDOK},       {"cancel", IDCANCEL}, {"yes", IDYES},      {"no", IDNO},
                    {"abort", IDABORT}, {"retry", IDRETRY},   {"ignore", IDIGNORE}};
    for (const auto& b : kButtons)
        if (_stricmp(b.name, name.c_str()) == 0)
            return b.id;
    long id;
    if (!ParseNumber(name, &id))
        Fail(kBadScript, "unknown button " + Quote(name));
    return static_cast<int>(id);
}

void PressBoxButton(HWND box, int id) {
    HWND button = GetDlgItem(box, id);
    // A box with a single OK button may give it either id; Esc (IDCANCEL) closes it as well.
    if (!button && id == IDOK)
        button = GetDlgItem(box, IDCANCEL);
    if (button)
        PostMessageA(button, BM_CLICK, 0, 0);
    else
        PostMessageA(box, WM_COMMAND, id, 0);
}

BOOL CALLBACK PrintControl(HWND window, LPARAM) {
    printf("CONTROL %d %s style=0x%08lX %s\n", GetDlgCtrlID(window), ClassOf(window).c_str(),
           static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
           Quote(TextOf(window)).c_str());
    return TRUE;
}

BOOL CALLBACK PrintTopLevel(HWND window, LPARAM) {
    if (IsWindowVisible(window))
        printf("WIN %s %s\n", ClassOf(window).c_str(), Quote(TextOf(window)).c_str());
    return TRUE;
}

void WaitGone(HWND window, DWORD ms) {
    DWORD start = GetTickCount();
    while (window && IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount() - start >= ms)
            Fail(kNoWindow, "window " + Quote(TextOf(window)) + " did not go");
        Sleep(kPollMs);
    }
}

void Need(const Words& w, size_t count, const char* usage) {
    if (w.size() < count)
        Fail(kBadScript, std::string("usage: ") + usage);
}

DWORD OptionalMs(const Words& w, size_t index) {
    long ms;
    if (w.size() > index && ParseNumber(w[index], &ms))
        return static_cast<DWORD>(ms);
    return g_timeout;
}

bool Flag(HWND control, const std::string& which) {
    if (which == "checked")
        return SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (which == "enabled")
        return IsWindowEnabled(control) != 0;
    return IsWindowVisible(control) != 0;
}

void Run(const Words& w) {
    if (w.empty())
        return;
    const std::string& cmd = w[0];
    if (cmd == "timeout") {
        Need(w, 2, "timeout MS");
        g_timeout = OptionalMs(w, 1);
    } else if (cmd == "wait") {
        Need(w, 3, "wait CLASS CAPTION [MS]");
        g_window = WaitWindow(w[1], w[2], OptionalMs(w, 3));
        if (!g_window)
            Fail(kNoWindow, "no window " + w[1] + " " + Quote(w[2]));
        printf("WINDOW %s %s\n", ClassOf(g_window).c_str(), Quote(TextOf(g_window)).c_str());
    } else if (cmd == "gone") {
        WaitGone(g_window, OptionalMs(w, 1));
        printf("GONE\n");
    } else if (cmd == "absent") {
        Need(w, 4, "absent CLASS CAPTION MS");
        if (HWND found = WaitWindow(w[1], w[2], OptionalMs(w, 3)))
            Fail(kExpectation, "unexpected window " + Quote(TextOf(found)));
    } else if (cmd == "text") {
        Need(w, 2, "text CTRL");
        printf("TEXT %s %s\n", w[1].c_str(), Quote(TextOf(Control(w[1]))).c_str());
    } else if (cmd == "expect") {
        Need(w, 3, "expect CTRL TEXT");
        std::string got = TextOf(Control(w[1]));
        printf("TEXT %s %s\n", w[1].c_str(), Quote(got).c_str());
        if (got != w[2])
            Fail(kExpectation, "control " + w[1] + " reads " + Quote(got) + ", not " + Quote(w[2]));
    } else if (cmd == "caption") {
        Need(w, 2, "caption TEXT");
        if (!g_window)
            Fail(kNoWindow, "no current window");
        std::string got = TextOf(g_window);
        if (got != w[1])
            Fail(kExpectation, "caption is " + Quote(got) + ", not " + Quote(w[1]));
    } else if (cmd == "state") {
        Need(w, 2, "state CTRL");
        HWND c = Control(w[1]);
        printf("STATE %s checked=%d enabled=%d visible=%d\n", w[1].c_str(), Flag(c, "checked"),
               Flag(c, "enabled"), Flag(c, "visible"));
    } else if (cmd == "expect-checked" || cmd == "expect-enabled" || cmd == "expect-visible") {
        Need(w, 3, "expect-STATE CTRL 0|1");
        bool got = Flag(Control(w[1]), cmd.substr(7)), want = w[2] != "0";
        if (got != want)
            Fail(kExpectation, "control " + w[1] + " " + cmd.substr(7) + "=" + (got ? "1" : "0"));
    } else if (cmd == "click") {
        Need(w, 2, "click CTRL");
        PostMessageA(Control(w[1]), BM_CLICK, 0, 0);
    } else if (cmd == "command") {
        Need(w, 2, "command ID");
        long id;
        if (!ParseNumber(w[1], &id))
            Fail(kBadScript, "command needs a number");
        PostMessageA(g_window, WM_COMMAND, static_cast<WPARAM>(id), 0);
    } else if (cmd == "type") {
        Need(w, 3, "type CTRL TEXT");
        DWORD_PTR ignored;
        SendMessageTimeoutA(Control(w[1]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w[2].c_str()),
                            SMTO_ABORTIFHUNG, 5000, &ignored);
    } else if (cmd == "close") {
        PostMessageA(g_window, WM_CLOSE, 0, 0);
    } else if (cmd == "controls") {
        if (!g_window)
            Fail(kNoWindow, "no current window");
        printf("CONTROL self %s style=0x%08lX %s\n", ClassOf(g_window).c_str(),
               static_cast<unsigned long>(GetWindowLongA(g_window, GWL_STYLE)),
               Quote(TextOf(g_window)).c_str());
        EnumChildWindows(g_window, PrintControl, 0);
    } else if (cmd == "msgbox") {
        Need(w, 2, "msgbox CAPTION [BUTTON [TEXT]]");
        MessageBoxInfo box = WaitMessageBox(w[1], g_timeout);
        if (!box.window)
            Fail(kNoWindow, "no message box " + Quote(w[1]));
        printf("MSGBOX %s %s\n", Quote(TextOf(box.window)).c_str(), Quote(box.text).c_str());
        fflush(stdout);
        if (w.size() > 3 && w[3] != "*" && box.text != w[3])
            Fail(kExpectation, "message box reads " + Quote(box.text) + ", not " + Quote(w[3]));
        if (w.size() < 3 || w[2] != "-") {
            PressBoxButton(box.window, w.size() > 2 ? ButtonId(w[2]) : IDOK);
            // The press is posted: wait until the box has gone, so that the next command cannot
            // mistake it for a new one.
            WaitGone(box.window, g_timeout);
        }
    } else if (cmd == "nomsgbox") {
        Need(w, 3, "nomsgbox CAPTION MS");
        if (HWND found = WaitWindow("#32770", w[1], OptionalMs(w, 2)))
            Fail(kExpectation, "unexpected message box " + Quote(TextOf(found)));
    } else if (cmd == "snap") {
        Need(w, 2, "snap NAME");
        printf("SNAP %s\n", w[1].c_str());
        fflush(stdout);
        char line[64];
        if (!fgets(line, sizeof line, stdin))
            Fail(kBadScript, "snap: standard input closed");
    } else if (cmd == "sleep") {
        Sleep(OptionalMs(w, 1));
    } else if (cmd == "echo") {
        printf("ECHO %s\n", w.size() > 1 ? Quote(w[1]).c_str() : "\"\"");
    } else if (cmd == "windows") {
        EnumWindows(PrintTopLevel, 0);
    } else {
        Fail(kBadScript, "unknown command " + Quote(cmd));
    }
    fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<Words> script;
    if (argc == 3 && strcmp(argv[1], "-f") == 0) {
        FILE* f = fopen(argv[2], "rb");
        if (!f)
            Fail(kBadScript, std::string("cannot open ") + argv[2]);
        char line[8192];
        while (fgets(line, sizeof line, f)) {
            std::string text(line);
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                text.pop_back();
            script.push_back(SplitLine(text));
        }
        fclose(f);
    } else {
        script.emplace_back();
        for (int i = 1; i < argc; ++i) {
            if (strcmp(argv[i], ";") == 0)
                script.emplace_back();
            else
                script.back().push_back(Unescape(argv[i]));
        }
    }
    for (const Words& words : script)
        Run(words);
    return kOk;
}
