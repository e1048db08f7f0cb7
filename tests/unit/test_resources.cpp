// The program's resources against the tables they must follow: menus,
// dialogs as they show, strings, accelerators, images, version record and
// manifest. The resources are linked into this executable, so the module
// itself is the resource instance.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/gdi_owners.h"
#include "res/resource.h"
#include "tests/unit/test_support.h"

namespace
{

HINSTANCE Module()
{
    return GetModuleHandleA(nullptr);
}

std::string Cp932(const char8_t* text)
{
    return Sjis(reinterpret_cast<const char*>(text));
}

std::string Upper(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// Messages are built with printf formats: GCC 12 misreads some chains of
// std::string operator+ as overlapping copies.
std::string Format(const char* format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    return text;
}

// The texts come back through the A functions, which convert with the
// process code page: they only mean anything in code page 932.
class ResourceTexts : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(GetACP(), 932u) << "the tests must run in code page 932"; }
};

// ---------------------------------------------------------------------------
// Language

struct ResourceName {
    LPCSTR type;
    const char* typeName;
    UINT id;
};

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param)
{
    reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
    return TRUE;
}

TEST(Resources, EveryResourceIsJapaneseOnly)
{
    const ResourceName names[] = {
        {RT_MENU, "menu", IDM_TRAY},
        {RT_MENU, "menu", IDM_EDITOR},
        {RT_MENU, "menu", IDM_NOTE},
        {RT_MENU, "menu", IDM_REMIND_SNOOZE_POPUP},
        {RT_DIALOG, "dialog", IDD_REMINDERS},
        {RT_DIALOG, "dialog", IDD_ABOUT},
        {RT_DIALOG, "dialog", IDD_DUE},
        {RT_DIALOG, "dialog", IDD_OPTIONS},
        {RT_DIALOG, "dialog", IDD_OPTIONS_GENERAL},
        {RT_DIALOG, "dialog", IDD_OPTIONS_DUE},
        {RT_DIALOG, "dialog", IDD_OPTIONS_EXTRA},
        {RT_ACCELERATOR, "accelerator table", IDA_MAIN},
        {RT_GROUP_ICON, "icon", IDI_JOTWISE},
        {RT_BITMAP, "bitmap", IDB_TOOLBAR},
        {RT_VERSION, "version record", VS_VERSION_INFO},
        {RT_STRING, "string block of 7001", IDS_HOME_PAGE / 16 + 1},
        {RT_STRING, "string block of 8999", IDS_UNDER_CONSTRUCTION / 16 + 1},
        {RT_STRING, "string block of 11151", (IDS_TOOLTIP_BASE + IDM_EDIT_APPLY) / 16 + 1},
    };
    for (const ResourceName& name : names) {
        SCOPED_TRACE(Format("%s %u", name.typeName, name.id));
        std::vector<WORD> languages;
        EnumResourceLanguagesA(Module(), name.type, MAKEINTRESOURCEA(name.id), CollectLanguage,
            reinterpret_cast<LONG_PTR>(&languages));
        ASSERT_EQ(languages.size(), 1u) << "one language per resource";
        EXPECT_EQ(languages[0], MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    }
}

// ---------------------------------------------------------------------------
// Menus

enum class Entry { Command, Separator, Popup };

struct MenuRow {
    const char* position; // as the tables count: "5.4" is item 4 of the popup at 5
    Entry entry;
    UINT id;
    const char8_t* text;
};

std::vector<int> ParsePosition(const char* position)
{
    std::vector<int> path;
    int value = 0;
    for (const char* p = position;; ++p) {
        if (*p == '.' || *p == '\0') {
            path.push_back(value);
            value = 0;
            if (*p == '\0')
                break;
        } else {
            value = value * 10 + (*p - '0');
        }
    }
    return path;
}

std::string MenuText(HMENU menu, int position)
{
    char text[256] = {};
    GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return text;
}

// Checks every row of a menu table and that the menu has no items besides
// them. `root` is the popup that the positions count in.
void CheckMenuRows(UINT menuId, HMENU root, const std::vector<MenuRow>& rows)
{
    std::map<std::string, int> childCount; // parent position -> items expected
    childCount[""] = 0;
    for (const MenuRow& row : rows) {
        std::string position = row.position;
        std::size_t dot = position.rfind('.');
        ++childCount[dot == std::string::npos ? "" : position.substr(0, dot)];
    }
    for (const MenuRow& row : rows) {
        std::string where = Format("menu %u, position %s", menuId, row.position);
        SCOPED_TRACE(where);
        std::vector<int> path = ParsePosition(row.position);
        HMENU menu = root;
        for (std::size_t i = 0; i + 1 < path.size(); ++i) {
            menu = GetSubMenu(menu, path[i]);
            ASSERT_NE(menu, nullptr) << where << ": the parent popup is missing";
        }
        int index = path.back();
        ASSERT_LT(index, GetMenuItemCount(menu)) << where << ": no such item";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STATE;
        ASSERT_TRUE(GetMenuItemInfoA(menu, index, TRUE, &info)) << where;
        // Separators come back greyed by nature; everything else is enabled
        // at run time by the menu rules, so the resource greys nothing.
        if (row.entry != Entry::Separator) {
            EXPECT_EQ(info.fState & (MFS_GRAYED | MFS_CHECKED), 0u) << where << ": greyed or checked";
        }
        switch (row.entry) {
        case Entry::Separator:
            EXPECT_NE(info.fType & MFT_SEPARATOR, 0u) << where << " should be a separator";
            EXPECT_EQ(info.hSubMenu, nullptr) << where << " should be a separator";
            break;
        case Entry::Popup:
            EXPECT_NE(info.hSubMenu, nullptr) << where << " should be a popup";
            EXPECT_EQ(MenuText(menu, index), Cp932(row.text)) << where << " text";
            break;
        case Entry::Command:
            EXPECT_EQ(info.fType & MFT_SEPARATOR, 0u) << where << " should be a command";
            EXPECT_EQ(info.hSubMenu, nullptr) << where << " should be a command, not a popup";
            EXPECT_EQ(info.wID, row.id) << where << " ID";
            EXPECT_EQ(MenuText(menu, index), Cp932(row.text)) << where << " text";
            break;
        }
    }
    for (const auto& [parent, count] : childCount) {
        HMENU menu = root;
        if (!parent.empty()) {
            for (int index : ParsePosition(parent.c_str()))
                menu = menu ? GetSubMenu(menu, index) : nullptr;
        }
        if (menu) {
            EXPECT_EQ(GetMenuItemCount(menu), count)
                << "menu " << menuId << ", "
                << (parent.empty() ? std::string("top popup") : Format("popup %s", parent.c_str()))
                << ": item count";
        }
    }
}

class MenuOwner
{
public:
    explicit MenuOwner(UINT id)
        : menu_(LoadMenuA(Module(), MAKEINTRESOURCEA(id)))
    {
    }
    ~MenuOwner()
    {
        if (menu_)
            DestroyMenu(menu_);
    }
    MenuOwner(const MenuOwner&) = delete;
    MenuOwner& operator=(const MenuOwner&) = delete;
    HMENU get() const { return menu_; }

private:
    HMENU menu_;
};

using ResourceMenus = ResourceTexts;

TEST_F(ResourceMenus, TrayMenuFollowsItsTable)
{
    MenuOwner bar(IDM_TRAY);
    ASSERT_NE(bar.get(), nullptr) << "menu 101 missing";
    ASSERT_EQ(GetMenuItemCount(bar.get()), 1) << "menu 101: one hidden popup";
    EXPECT_EQ(MenuText(bar.get(), 0), "M") << "menu 101, popup title";
    HMENU popup = GetSubMenu(bar.get(), 0);
    ASSERT_NE(popup, nullptr) << "menu 101: the top item is not a popup";
    CheckMenuRows(IDM_TRAY, popup,
        {
            // メモの追加(&N)...
            {"0", Entry::Command, IDM_NEW_NOTE, u8"\u30E1\u30E2\u306E\u8FFD\u52A0(&N)..."},
            {"1", Entry::Separator, 0, nullptr},
            // 整列(&A)
            {"2", Entry::Command, IDM_ARRANGE, u8"\u6574\u5217(&A)"},
            // 前面へ(&T)
            {"3", Entry::Command, IDM_SHOW_ALL, u8"\u524D\u9762\u3078(&T)"},
            // 隠す(&D)
            {"4", Entry::Command, IDM_HIDE_ALL, u8"\u96A0\u3059(&D)"},
            // サイズ(&Z)
            {"5", Entry::Popup, 0, u8"\u30B5\u30A4\u30BA(&Z)"},
            // 最大幅に合わす(&W)
            {"5.0", Entry::Command, IDM_FIT_WIDTH, u8"\u6700\u5927\u5E45\u306B\u5408\u308F\u3059(&W)"},
            // 最大高さに合わす(&H)
            {"5.1", Entry::Command, IDM_FIT_HEIGHT, u8"\u6700\u5927\u9AD8\u3055\u306B\u5408\u308F\u3059(&H)"},
            // 最大領域に合わす(&B)
            {"5.2", Entry::Command, IDM_FIT_BOTH, u8"\u6700\u5927\u9818\u57DF\u306B\u5408\u308F\u3059(&B)"},
            {"5.3", Entry::Separator, 0, nullptr},
            // 最適化(&S)
            {"5.4", Entry::Command, IDM_OPTIMIZE, u8"\u6700\u9069\u5316(&S)"},
            // バックアップ(&B)...
            {"6", Entry::Command, IDM_BACKUP, u8"\u30D0\u30C3\u30AF\u30A2\u30C3\u30D7(&B)..."},
            // 復元(&R)...
            {"7", Entry::Command, IDM_RESTORE, u8"\u5FA9\u5143(&R)..."},
            // メモの一覧(&L)...
            {"8", Entry::Command, IDM_NOTE_LIST, u8"\u30E1\u30E2\u306E\u4E00\u89A7(&L)..."},
            {"9", Entry::Separator, 0, nullptr},
            // オプション(&O)...
            {"10", Entry::Command, IDM_OPTIONS, u8"\u30AA\u30D7\u30B7\u30E7\u30F3(&O)..."},
            // ヘルプ(&H)
            {"11", Entry::Popup, 0, u8"\u30D8\u30EB\u30D7(&H)"},
            // トピックの検索(&H)
            {"11.0", Entry::Command, IDM_HELP, u8"\u30C8\u30D4\u30C3\u30AF\u306E\u691C\u7D22(&H)"},
            {"11.1", Entry::Separator, 0, nullptr},
            // ホームページへ(&W)
            {"11.2", Entry::Command, IDM_HOME_PAGE, u8"\u30DB\u30FC\u30E0\u30DA\u30FC\u30B8\u3078(&W)"},
            // バージョン情報(&A)
            {"11.3", Entry::Command, IDM_ABOUT, u8"\u30D0\u30FC\u30B8\u30E7\u30F3\u60C5\u5831(&A)"},
            {"12", Entry::Separator, 0, nullptr},
            // 終了(&X)
            {"13", Entry::Command, IDM_EXIT, u8"\u7D42\u4E86(&X)"},
        });
    // The menu rules grey the size popup by its position.
    EXPECT_NE(GetSubMenu(popup, TRAY_SIZE_SUBMENU_POS), nullptr) << "menu 101: size popup position";
}

TEST_F(ResourceMenus, EditorMenuBarFollowsItsTable)
{
    MenuOwner bar(IDM_EDITOR);
    ASSERT_NE(bar.get(), nullptr) << "menu 105 missing";
    CheckMenuRows(IDM_EDITOR, bar.get(),
        {
            // メモ(&M)
            {"0", Entry::Popup, 0, u8"\u30E1\u30E2(&M)"},
            // 実行(&G)
            {"0.0", Entry::Command, IDM_EDIT_APPLY, u8"\u5B9F\u884C(&G)"},
            {"0.1", Entry::Separator, 0, nullptr},
            // フォント(&F)...
            {"0.2", Entry::Command, IDM_EDIT_FONT, u8"\u30D5\u30A9\u30F3\u30C8(&F)..."},
            // 背景色(&C)...
            {"0.3", Entry::Command, IDM_EDIT_BACKCOLOUR, u8"\u80CC\u666F\u8272(&C)..."},
            // 期日(&D)...
            {"0.4", Entry::Command, IDM_EDIT_DUE, u8"\u671F\u65E5(&D)..."},
            // プロパティ(&P)
            {"0.5", Entry::Command, IDM_EDIT_PROPERTIES, u8"\u30D7\u30ED\u30D1\u30C6\u30A3(&P)"},
            {"0.6", Entry::Separator, 0, nullptr},
            // 閉じる(&C)
            {"0.7", Entry::Command, IDM_EDIT_CLOSE, u8"\u9589\u3058\u308B(&C)"},
            {"0.8", Entry::Separator, 0, nullptr},
            {"0.9", Entry::Popup, 0, u8"繰り返し(&R)"},
            {"0.9.0", Entry::Command, IDM_EDIT_REPEAT_NONE, u8"なし"},
            {"0.9.1", Entry::Command, IDM_EDIT_REPEAT_DAILY, u8"毎日"},
            {"0.9.2", Entry::Command, IDM_EDIT_REPEAT_WEEKDAYS, u8"平日（月\u301C金）"},
            {"0.9.3", Entry::Command, IDM_EDIT_REPEAT_WEEKLY, u8"毎週"},
            {"0.9.4", Entry::Command, IDM_EDIT_REPEAT_MONTHLY, u8"毎月"},
            {"0.9.5", Entry::Command, IDM_EDIT_REPEAT_YEARLY, u8"毎年"},
            // 編集(&E)
            {"1", Entry::Popup, 0, u8"\u7DE8\u96C6(&E)"},
            // 元に戻す(&U)
            {"1.0", Entry::Command, IDM_EDIT_UNDO, u8"\u5143\u306B\u623B\u3059(&U)"},
            {"1.1", Entry::Separator, 0, nullptr},
            // 切り取り(&T)
            {"1.2", Entry::Command, IDM_EDIT_CUT, u8"\u5207\u308A\u53D6\u308A(&T)"},
            // コピー(&C)
            {"1.3", Entry::Command, IDM_EDIT_COPY, u8"\u30B3\u30D4\u30FC(&C)"},
            // 貼り付け(&P)
            {"1.4", Entry::Command, IDM_EDIT_PASTE, u8"\u8CBC\u308A\u4ED8\u3051(&P)"},
            // 削除(&D)
            {"1.5", Entry::Command, IDM_EDIT_CLEAR, u8"\u524A\u9664(&D)"},
            {"1.6", Entry::Separator, 0, nullptr},
            // すべて選択(&A)
            {"1.7", Entry::Command, IDM_EDIT_SELECTALL, u8"\u3059\u3079\u3066\u9078\u629E(&A)"},
            {"1.8", Entry::Separator, 0, nullptr},
            // 日時の挿入(&I)
            {"1.9", Entry::Command, IDM_EDIT_INSERTDATE, u8"\u65E5\u6642\u306E\u633F\u5165(&I)"},
            // ヘルプ(&H)
            {"2", Entry::Popup, 0, u8"\u30D8\u30EB\u30D7(&H)"},
            // ヘルプ(&H)
            {"2.0", Entry::Command, IDM_HELP, u8"\u30D8\u30EB\u30D7(&H)"},
        });
}

TEST_F(ResourceMenus, NoteMenuFollowsItsTable)
{
    MenuOwner bar(IDM_NOTE);
    ASSERT_NE(bar.get(), nullptr) << "menu 106 missing";
    ASSERT_EQ(GetMenuItemCount(bar.get()), 1) << "menu 106: one hidden popup";
    EXPECT_EQ(MenuText(bar.get(), 0), "O") << "menu 106, popup title";
    HMENU popup = GetSubMenu(bar.get(), 0);
    ASSERT_NE(popup, nullptr) << "menu 106: the top item is not a popup";
    CheckMenuRows(IDM_NOTE, popup,
        {
            // はがす(&O)
            {"0", Entry::Popup, 0, u8"\u306F\u304C\u3059(&O)"},
            // はがす(&T)
            {"0.0", Entry::Command, IDM_NOTE_PEEL, u8"\u306F\u304C\u3059(&T)"},
            // 記録から削除(&K)
            {"0.1", Entry::Command, IDM_NOTE_DELETE, u8"\u8A18\u9332\u304B\u3089\u524A\u9664(&K)"},
            {"1", Entry::Separator, 0, nullptr},
            // 変更(&E)...
            {"2", Entry::Command, IDM_NOTE_EDIT, u8"\u5909\u66F4(&E)..."},
            // 複製の作成(&R)
            {"3", Entry::Command, IDM_NOTE_DUPLICATE, u8"\u8907\u88FD\u306E\u4F5C\u6210(&R)"},
            // プロパティ(&P)
            {"4", Entry::Command, IDM_NOTE_PROPERTIES, u8"\u30D7\u30ED\u30D1\u30C6\u30A3(&P)"},
            // 隠す(&D)
            {"5", Entry::Command, IDM_NOTE_HIDE, u8"\u96A0\u3059(&D)"},
            // サイズの最適化(&S)
            {"6", Entry::Command, IDM_OPTIMIZE, u8"\u30B5\u30A4\u30BA\u306E\u6700\u9069\u5316(&S)"},
            // 常に手前に表示(&A)
            {"7", Entry::Command, IDM_NOTE_TOPMOST, u8"\u5E38\u306B\u624B\u524D\u306B\u8868\u793A(&A)"},
            {"8", Entry::Separator, 0, nullptr},
            {"9", Entry::Popup, 0, u8"繰り返し(&R)"},
            {"9.0", Entry::Command, IDM_NOTE_REPEAT_NONE, u8"なし"},
            {"9.1", Entry::Command, IDM_NOTE_REPEAT_DAILY, u8"毎日"},
            {"9.2", Entry::Command, IDM_NOTE_REPEAT_WEEKDAYS, u8"平日（月\u301C金）"},
            {"9.3", Entry::Command, IDM_NOTE_REPEAT_WEEKLY, u8"毎週"},
            {"9.4", Entry::Command, IDM_NOTE_REPEAT_MONTHLY, u8"毎月"},
            {"9.5", Entry::Command, IDM_NOTE_REPEAT_YEARLY, u8"毎年"},
            {"10", Entry::Command, IDM_NOTE_DONE, u8"完了(&D)"},
            {"11", Entry::Popup, 0, u8"後で通知(&Z)"},
            {"11.0", Entry::Command, IDM_NOTE_SNOOZE_10_MINUTES, u8"10 分後"},
            {"11.1", Entry::Command, IDM_NOTE_SNOOZE_HOUR, u8"1 時間後"},
            {"11.2", Entry::Command, IDM_NOTE_SNOOZE_MORNING, u8"明日の朝 (9:00)"},
            {"12", Entry::Separator, 0, nullptr},
            // ヘルプ(&H)
            {"13", Entry::Command, IDM_HELP, u8"\u30D8\u30EB\u30D7(&H)"},
        });
}

// ---------------------------------------------------------------------------
// Dialogs, as they show when created

struct DialogTexts {
    UINT id;
    const char8_t* title;
    std::vector<const char8_t*> texts; // what the controls show, in tab order
};

const std::vector<DialogTexts>& Dialogs()
{
    static const std::vector<DialogTexts> dialogs = {
        {IDD_ABOUT, u8"バージョン情報", {u8"Ver", u8"Copyright (C) 2026 KOVA", u8"OK"}},
        {IDD_DUE, u8"期日の設定",
            {u8"年(&Y):", u8"月(&M):", u8"日(&D):", u8"時(&H):", u8"分(&N):", u8"秒(&S):", u8"OK",
                u8"キャンセル", u8"ゼロクリア(&Z)"}},
        {IDD_OPTIONS, u8"オプション", {u8"OK", u8"キャンセル", u8"ヘルプ", u8"初期化(&I)"}},
        {IDD_OPTIONS_GENERAL, u8"",
            {u8"フォント(&F):", u8"...", u8"背景色(&B):", u8"...", u8"境界線(&R)", u8"I&ME オン",
                u8"文末の改行をカット(&C)", u8"タブ(&T):"}},
        {IDD_OPTIONS_DUE, u8"",
            {u8"期日指定(&T):", u8"後(&A)", u8"前日なら背景色を変更(&B)", u8"...",
                u8"当日以降なら背景色を変更(&C)", u8"...", u8"過ぎたら点滅(&F)", u8"過ぎたら白黒(&M)"}},
    };
    return dialogs;
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) noexcept
{
    return message == WM_INITDIALOG;
}

class DialogWindow
{
public:
    DialogWindow(UINT id, HWND parent)
        : window_(CreateDialogParamA(Module(), MAKEINTRESOURCEA(id), parent, QuietDialogProc, 0))
    {
    }
    ~DialogWindow()
    {
        if (window_)
            DestroyWindow(window_);
    }
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;
    HWND get() const { return window_; }

private:
    HWND window_;
};

std::string WindowText(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return Upper(name);
}

using ResourceDialogWindows = ResourceTexts;

// What the user meets in every dialog: its title and texts in the
// Japanese UI font, every control inside the dialog, no input control
// over another, the keyboard reaching exactly the input controls, and no
// access key twice.
TEST_F(ResourceDialogWindows, EveryDialogShowsItsTextsAndKeepsItsControlsUsable)
{
    INITCOMMONCONTROLSEX common = {sizeof(common), ICC_TAB_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&common));
    // The pages are children of the options dialog, as in the program.
    DialogWindow options(IDD_OPTIONS, nullptr);
    ASSERT_NE(options.get(), nullptr) << "options dialog not created";
    for (const DialogTexts& want : Dialogs()) {
        std::string dialog = Format("dialog %u", want.id);
        SCOPED_TRACE(dialog);
        bool page = want.id == IDD_OPTIONS_GENERAL || want.id == IDD_OPTIONS_DUE;
        std::unique_ptr<DialogWindow> created;
        if (want.id != IDD_OPTIONS)
            created = std::make_unique<DialogWindow>(want.id, page ? options.get() : nullptr);
        HWND window = created ? created->get() : options.get();
        ASSERT_NE(window, nullptr) << dialog << " not created";
        EXPECT_EQ(WindowText(window), Cp932(want.title)) << dialog << " title";
        LOGFONTA font = {};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof(font), &font);
        EXPECT_EQ(std::string(font.lfFaceName), Cp932(u8"ＭＳ Ｐゴシック")) << dialog << " font";
        EXPECT_EQ(-MulDiv(9, GetDeviceCaps(ScreenDc().get(), LOGPIXELSY), 72), font.lfHeight)
            << dialog << " 9 points";

        RECT client = {};
        GetClientRect(window, &client);
        std::vector<std::string> texts;
        std::vector<RECT> inputs;
        std::set<char> keys;
        for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
            std::string name = ClassOf(control);
            if (name == "#32770")
                continue;
            std::string text = WindowText(control);
            std::string where
                = Format("%s, control %d \"%s\"", dialog.c_str(), GetDlgCtrlID(control), text.c_str());
            LONG style = GetWindowLongA(control, GWL_STYLE);
            EXPECT_TRUE(style & WS_VISIBLE) << where << " visible";
            RECT rect = {};
            GetWindowRect(control, &rect);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
            EXPECT_TRUE(
                rect.left >= 0 && rect.top >= 0 && rect.right <= client.right && rect.bottom <= client.bottom)
                << where << " inside the dialog";
            bool input = name == "BUTTON" || name == "EDIT" || name == "COMBOBOX";
            EXPECT_EQ(input, (style & WS_TABSTOP) != 0) << where << " tab stop";
            if (input && name != "COMBOBOX") {
                for (const RECT& other : inputs) {
                    RECT overlap;
                    EXPECT_FALSE(IntersectRect(&overlap, &rect, &other)) << where << " over another input";
                }
                inputs.push_back(rect);
            }
            std::size_t amp = text.find('&');
            char key = amp != std::string::npos && amp + 1 < text.size()
                ? static_cast<char>(std::toupper(static_cast<unsigned char>(text[amp + 1])))
                : 0;
            EXPECT_TRUE(!key || keys.insert(key).second) << where << " access key";
            bool icon = name == "STATIC" && (style & SS_TYPEMASK) == SS_ICON;
            if (!text.empty() && name != "EDIT" && !icon)
                texts.push_back(text);
        }
        std::vector<std::string> expected;
        for (const char8_t* text : want.texts)
            expected.push_back(Cp932(text));
        EXPECT_EQ(expected, texts) << dialog << " texts";
    }
}

// ---------------------------------------------------------------------------
// Strings

struct StringRow {
    UINT id;
    const char8_t* text;
};

const std::vector<StringRow>& StringTable()
{
    static const std::vector<StringRow> rows = {
        // ジョット・ワイズ
        {IDS_DISPLAY_NAME, u8"\u30B8\u30E7\u30C3\u30C8\u30FB\u30EF\u30A4\u30BA"},
        // 月
        {IDS_UNIT_MONTH, u8"\u6708"},
        // 日
        {IDS_UNIT_DAY, u8"\u65E5"},
        // 時
        {IDS_UNIT_HOUR, u8"\u6642"},
        // 分
        {IDS_UNIT_MINUTE, u8"\u5206"},
        // メモの編集
        {IDS_EDITOR_TITLE, u8"\u30E1\u30E2\u306E\u7DE8\u96C6"},
        // 情報
        {IDS_PROPERTIES_CAPTION, u8"\u60C5\u5831"},
        // 全般
        {IDS_TAB_GENERAL, u8"\u5168\u822C"},
        // 期日
        {IDS_TAB_DUE, u8"\u671F\u65E5"},
        // 期日の指定はありません。
        {IDS_NO_DUE_DATE, u8"\u671F\u65E5\u306E\u6307\u5B9A\u306F\u3042\u308A\u307E\u305B\u3093\u3002"},
        // 処理の確認
        {IDS_CONFIRM_CAPTION, u8"\u51E6\u7406\u306E\u78BA\u8A8D"},
        // このメモは指定の期日を過ぎています。
        {IDS_OVERDUE,
            u8"\u3053\u306E\u30E1\u30E2\u306F\u6307\u5B9A\u306E\u671F\u65E5\u3092\u904E\u304E\u3066\u3044"
            u8"\u307E\u3059\u3002"},
        // 記録から削除しますか？
        {IDS_ASK_DELETE, u8"\u8A18\u9332\u304B\u3089\u524A\u9664\u3057\u307E\u3059\u304B\uFF1F"},
        // はがしますか？
        {IDS_ASK_PEEL, u8"\u306F\u304C\u3057\u307E\u3059\u304B\uFF1F"},
        // メモは変更されています。破棄して終了してもよろしいですか？
        {IDS_ASK_DISCARD,
            u8"\u30E1\u30E2\u306F\u5909\u66F4\u3055\u308C\u3066\u3044\u307E\u3059\u3002\u7834\u68C4\u3057"
            u8"\u3066\u7D42\u4E86\u3057\u3066\u3082\u3088\u308D\u3057\u3044\u3067\u3059\u304B\uFF1F"},
        // 整列しますか？
        {IDS_ASK_ARRANGE, u8"\u6574\u5217\u3057\u307E\u3059\u304B\uFF1F"},
        // 内容
        {IDS_LIST_COLUMN_TEXT, u8"\u5185\u5BB9"},
        // 期日
        {IDS_LIST_COLUMN_DUE, u8"\u671F\u65E5"},
        // 状態
        {IDS_LIST_COLUMN_STATE, u8"\u72B6\u614B"},
        // 色
        {IDS_LIST_COLUMN_COLOUR, u8"\u8272"},
        // 表示中
        {IDS_STATE_SHOWN, u8"\u8868\u793A\u4E2D"},
        // 隠れています
        {IDS_STATE_HIDDEN, u8"\u96A0\u308C\u3066\u3044\u307E\u3059"},
        // はがしました
        {IDS_STATE_PEELED_OFF, u8"\u306F\u304C\u3057\u307E\u3057\u305F"},
        // 読み込まれていません
        {IDS_STATE_NOT_LOADED, u8"\u8AAD\u307F\u8FBC\u307E\u308C\u3066\u3044\u307E\u305B\u3093"},
        // ごみ箱
        {IDS_STATE_IN_BIN, u8"\u3054\u307F\u7BB1"},
        // Aあ
        {IDS_LIST_SWATCH, u8"A\u3042"},
        // ごみ箱のメモをすべて削除します。元には戻せません。よろしいですか？
        {IDS_ASK_EMPTY_BIN,
            u8"\u3054\u307F\u7BB1\u306E\u30E1\u30E2\u3092\u3059\u3079\u3066\u524A\u9664\u3057\u307E\u3059"
            u8"\u3002\u5143\u306B\u306F\u623B\u305B\u307E\u305B\u3093\u3002\u3088\u308D\u3057\u3044\u3067"
            u8"\u3059\u304B\uFF1F"},
        // ごみ箱から削除します。元には戻せません。よろしいですか？
        {IDS_ASK_DELETE_FOREVER,
            u8"\u3054\u307F\u7BB1\u304B\u3089\u524A\u9664\u3057\u307E\u3059\u3002\u5143\u306B\u306F\u623B"
            u8"\u305B\u307E\u305B\u3093\u3002\u3088\u308D\u3057\u3044\u3067\u3059\u304B\uFF1F"},
        // メモの一覧 (%d 件)
        {IDS_LIST_TITLE, u8"\u30E1\u30E2\u306E\u4E00\u89A7 (%d \u4EF6)"},
        {IDS_ASK_MOVE_TO_BIN, u8"ごみ箱に移しますか？"},
        {IDS_STATE_DAMAGED, u8"壊れています"},
        {IDS_ASK_DELETE_ENTRY_FOREVER,
            u8"ごみ箱から削除します。同じ項目に入っているメモ %d "
            u8"枚がすべて消え、元には戻せません。よろしいですか？"},
        {IDS_ERR_ENTRY_NO_ROOM,
            u8"ごみ箱のこの項目にはメモが %d "
            u8"枚まとめて入っています。すべてを戻す空きがないため、どれも戻しませんでした。"},
        {IDS_RESTORE_TITLE, u8"バックアップからの復元"},
        {IDS_ASK_RESTORE,
            u8"メモと設定をすべて、このバックアップの内容に置き換えます。今の内容は先に別のファイルにバックア"
            u8"ップします。よろしいですか？"},
        {IDS_BACKUP_DONE, u8"バックアップしました"},
        {IDS_RESTORE_DONE, u8"復元しました"},
        {IDS_RESTORE_DONE_TEXT, u8"復元前の内容のバックアップ: %ls"},
        {IDS_ERR_RESTORE_NOT_BACKUP,
            u8"このファイルは Jotwise のバックアップではないため、復元できません。何も変更していません。"},
        {IDS_ERR_RESTORE_FOREIGN_KEY,
            u8"このファイルの %d 行目に Jotwise "
            u8"以外のキーがあるため、復元できません。何も変更していません。"},
        {IDS_ERR_RESTORE_FOREIGN_VALUE,
            u8"このファイルの %d 行目に Jotwise "
            u8"が書かない種類の値があるため、復元できません。何も変更していません。"},
        {IDS_ERR_RESTORE_UNREADABLE,
            u8"このファイルの %d 行目を読み取れないため、復元できません。何も変更していません。"},
        {IDS_ERR_RESTORE, u8"復元できませんでした。メモと設定は復元前の内容に戻しました。"},
        {IDS_ERR_RESTORE_READ, u8"バックアップのファイルを読み込めませんでした。何も変更していません。"},
        {IDS_ERR_BEFORE_RESTORE,
            u8"復元前の内容をバックアップできなかったため、復元を中止しました。何も変更していません。"},
        {IDS_ERR_BACKUP_NAME,
            u8"名前に改行などの制御文字を含むキーか値があるため、バックアップできません。\r\n\r\n%ls"},
        {IDS_ERR_FILE_DIALOG, u8"ファイルを選ぶダイアログを開けませんでした。(エラー %04X)"},
        {IDS_ERR_RESTORE_DRAFT,
            u8"編集中のメモを下書きとして保存できなかったため、復元を中止しました。何も変更していません。"},
        {IDS_ERR_RESTORE_LOST,
            u8"復元できず、復元前の内容にも戻せませんでした。復元前の内容は次のファイルにあります。\r\n\r\n%"
            u8"ls"},
        {IDS_REMIND_WAY_BALLOON, u8"バルーンのみ"},
        {IDS_REMIND_WAY_WINDOW, u8"バルーンとリマインダー ウィンドウ"},
        {IDS_REMIND_COLUMN_AGO, u8"経過"},
        {IDS_REMIND_JUST_NOW, u8"たった今"},
        {IDS_REMIND_MINUTES_AGO, u8"%d 分前"},
        {IDS_REMIND_HOURS_AGO, u8"%d 時間前"},
        {IDS_REMIND_DAYS_AGO, u8"%d 日前"},
        {IDS_ASK_UNSTORABLE_TEXT,
            u8"メモに保存できない文字が含まれています。その文字を「?」に置き換えて実行しますか？"},
        {IDS_ERR_FACE_NAME,
            u8"このフォントは名前を保存できないため使えません。別のフォントを選んでください。"},
        // メモが入力されていません。
        {IDS_ERR_NO_TEXT, u8"\u30E1\u30E2\u304C\u5165\u529B\u3055\u308C\u3066\u3044\u307E\u305B\u3093\u3002"},
        // 個数オーバーです。これ以上開けません。
        {IDS_ERR_TOO_MANY,
            u8"\u500B\u6570\u30AA\u30FC\u30D0\u30FC\u3067\u3059\u3002\u3053\u308C\u4EE5\u4E0A\u958B\u3051"
            u8"\u307E\u305B\u3093\u3002"},
        // ID の設定に失敗しました。
        {IDS_ERR_NO_ID, u8"ID \u306E\u8A2D\u5B9A\u306B\u5931\u6557\u3057\u307E\u3057\u305F\u3002"},
        // バックアップを書き込めませんでした。
        {IDS_ERR_BACKUP,
            u8"\u30D0\u30C3\u30AF\u30A2\u30C3\u30D7\u3092\u66F8\u304D\u8FBC\u3081\u307E\u305B\u3093\u3067"
            u8"\u3057\u305F\u3002"},
        {IDS_ERR_HELP_BLOCKED,
            u8"ヘルプ ファイル Jotwise.chm のブロックを解除できなかったため、ヘルプの"
            u8"ページが白紙になります。\r\n\r\nJotwise.chm を右クリックして「プロパティ」を"
            u8"開き、「許可する」にチェックを付けて (Windows 7 では「ブロックの解除」を"
            u8"押して)「OK」を押してください。"},
        // 登録ファイル (*.reg)|*.reg|すべてのファイル (*.*)|*.*|
        {IDS_BACKUP_FILTER,
            u8"\u767B\u9332\u30D5\u30A1\u30A4\u30EB "
            u8"(*.reg)|*.reg|\u3059\u3079\u3066\u306E\u30D5\u30A1\u30A4\u30EB (*.*)|*.*|"},
        // バックアップの保存
        {IDS_BACKUP_TITLE, u8"\u30D0\u30C3\u30AF\u30A2\u30C3\u30D7\u306E\u4FDD\u5B58"},
        // メモや設定を保存できませんでした。このままでは、次に起動したときに今の内容が戻らないことがあります。
        {IDS_ERR_SAVE,
            u8"\u30E1\u30E2\u3084\u8A2D\u5B9A\u3092\u4FDD\u5B58\u3067\u304D\u307E\u305B\u3093\u3067\u3057"
            u8"\u305F\u3002\u3053\u306E\u307E\u307E\u3067\u306F\u3001\u6B21\u306B\u8D77\u52D5\u3057\u305F"
            u8"\u3068\u304D\u306B\u4ECA\u306E\u5185\u5BB9\u304C\u623B\u3089\u306A\u3044\u3053\u3068\u304C"
            u8"\u3042\u308A\u307E\u3059\u3002"},
        // 工事中☆　しばらくお待ちください(__;)
        {IDS_UNDER_CONSTRUCTION,
            u8"\u5DE5\u4E8B\u4E2D\u2606\u3000\u3057\u3070\u3089\u304F\u304A\u5F85\u3061\u304F\u3060\u3055"
            u8"\u3044(__;)"},
        // 拡張
        {IDS_TAB_EXTRA, u8"\u62E1\u5F35"},
        // 期日になりました
        {IDS_REMIND_TITLE, u8"\u671F\u65E5\u306B\u306A\u308A\u307E\u3057\u305F"},
        // 期日を過ぎたメモが %d 件あります
        {IDS_REMIND_OVERDUE_COUNT,
            u8"\u671F\u65E5\u3092\u904E\u304E\u305F\u30E1\u30E2\u304C %d \u4EF6\u3042\u308A\u307E\u3059"},
        // ほか %d 件
        {IDS_REMIND_MORE, u8"\u307B\u304B %d \u4EF6"},
        {IDS_REMIND_OVERDUE_TITLE, u8"期日を過ぎたメモがあります"},
        {IDS_ERR_EXIT_DRAFT,
            u8"エディタの内容を保存できなかったため、終了を取りやめました。メモを実行するか、エディタを閉じて"
            u8"から、もう一度終了してください。"},
        // このキーはほかのプログラムが使っています。
        {IDS_HOTKEY_TAKEN,
            u8"\u3053\u306E\u30AD\u30FC\u306F\u307B\u304B\u306E\u30D7\u30ED\u30B0\u30E9\u30E0\u304C\u4F7F"
            u8"\u3063\u3066\u3044\u307E\u3059\u3002"},
        // %d %%
        {IDS_OPACITY_PERCENT, u8"%d %%"},
        // Toolbar tooltips: the button's command plus the base.
        // ヘルプ
        {IDS_TOOLTIP_BASE + IDM_HELP, u8"\u30D8\u30EB\u30D7"},
        // メモ実行
        {IDS_TOOLTIP_BASE + IDM_EDIT_APPLY, u8"\u30E1\u30E2\u5B9F\u884C"},
        // 閉じる
        {IDS_TOOLTIP_BASE + IDM_EDIT_CLOSE, u8"\u9589\u3058\u308B"},
        // フォント
        {IDS_TOOLTIP_BASE + IDM_EDIT_FONT, u8"\u30D5\u30A9\u30F3\u30C8"},
        // 背景色
        {IDS_TOOLTIP_BASE + IDM_EDIT_BACKCOLOUR, u8"\u80CC\u666F\u8272"},
        // 期日
        {IDS_TOOLTIP_BASE + IDM_EDIT_DUE, u8"\u671F\u65E5"},
        // プロパティ
        {IDS_TOOLTIP_BASE + IDM_EDIT_PROPERTIES, u8"\u30D7\u30ED\u30D1\u30C6\u30A3"},
        // コピー
        {IDS_TOOLTIP_BASE + IDM_EDIT_COPY, u8"\u30B3\u30D4\u30FC"},
        // 貼り付け
        {IDS_TOOLTIP_BASE + IDM_EDIT_PASTE, u8"\u8CBC\u308A\u4ED8\u3051"},
    };
    return rows;
}

std::string LoadText(UINT id)
{
    char text[260] = {};
    int length = LoadStringA(Module(), id, text, sizeof(text));
    return std::string(text, length > 0 ? length : 0);
}

using ResourceStrings = ResourceTexts;

TEST_F(ResourceStrings, EveryEntryHasItsText)
{
    for (const StringRow& row : StringTable())
        EXPECT_EQ(LoadText(row.id), Cp932(row.text)) << "string " << row.id;
}

TEST_F(ResourceStrings, UnderConstructionKeepsItsIdeographicSpace)
{
    std::string text = LoadText(IDS_UNDER_CONSTRUCTION);
    // After the three kanji: the white star and the ideographic space.
    ASSERT_GE(text.size(), 10u) << "string 8999";
    EXPECT_EQ(text.substr(6, 4), "\x81\x99\x81\x40") << "string 8999, star and ideographic space";
    EXPECT_EQ(text.substr(text.size() - 5), "(__;)") << "string 8999, ending";
}

TEST_F(ResourceStrings, HomePageIsAWebAddress)
{
    std::string address = LoadText(IDS_HOME_PAGE);
    EXPECT_EQ(address.rfind("https://", 0), 0u) << "string 7001: " << address;
    EXPECT_EQ(address.find(' '), std::string::npos) << "string 7001: " << address;
}

BOOL CALLBACK CollectStringBlock(HMODULE, LPCSTR, LPSTR name, LONG_PTR param)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<UINT>*>(param)->push_back(
            static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

// Walks the string blocks themselves, so an entry outside the table (or a
// missing one that LoadString would hide) shows up by its number.
TEST(ResourceStringBlocks, HoldExactlyTheTableEntries)
{
    std::vector<UINT> blocks;
    EnumResourceNamesA(Module(), RT_STRING, CollectStringBlock, reinterpret_cast<LONG_PTR>(&blocks));
    std::set<UINT> present;
    for (UINT block : blocks) {
        HRSRC resource = FindResourceA(Module(), MAKEINTRESOURCEA(block), RT_STRING);
        ASSERT_NE(resource, nullptr) << "string block " << block;
        const WORD* data = static_cast<const WORD*>(LockResource(LoadResource(Module(), resource)));
        const WORD* end = data + SizeofResource(Module(), resource) / sizeof(WORD);
        for (UINT i = 0; i < 16 && data < end; ++i) {
            WORD length = *data++;
            if (length > 0)
                present.insert((block - 1) * 16 + i);
            data += length;
        }
    }
    std::set<UINT> expected = {IDS_HOME_PAGE};
    for (const StringRow& row : StringTable())
        expected.insert(row.id);
    for (UINT id : expected)
        EXPECT_TRUE(present.count(id)) << "string " << id << " missing";
    for (UINT id : present)
        EXPECT_TRUE(expected.count(id)) << "string " << id << " is not in the table";
    // ReportError relies on this gap to show its "Unknown Error" text.
    char text[260];
    EXPECT_EQ(LoadStringA(Module(), IDS_ERR_NO_ID + 1, text, sizeof(text)), 0) << "string 8004 exists";
}

// ---------------------------------------------------------------------------
// Accelerators

TEST(ResourceAccelerators, AltXExitsAndF1AsksForHelp)
{
    HACCEL table = LoadAcceleratorsA(Module(), MAKEINTRESOURCEA(IDA_MAIN));
    ASSERT_NE(table, nullptr) << "accelerator table 101 missing";
    ACCEL entries[8] = {};
    int count = CopyAcceleratorTableA(table, entries, 8);
    ASSERT_EQ(count, 2) << "accelerator table 101: entry count";
    struct {
        WORD key;
        BYTE flags;
        WORD command;
        const char* name;
    } expected[] = {
        {'X', FVIRTKEY | FALT, IDM_EXIT, "Alt+X"},
        {VK_F1, FVIRTKEY, IDM_HELP, "F1"},
    };
    for (const auto& want : expected) {
        SCOPED_TRACE(Format("accelerator table 101, %s", want.name));
        const ACCEL* found = nullptr;
        for (int i = 0; i < count; ++i) {
            if (entries[i].key == want.key)
                found = &entries[i];
        }
        ASSERT_NE(found, nullptr) << want.name << " missing";
        EXPECT_EQ(found->fVirt & 0x7F, want.flags) << want.name << " flags";
        EXPECT_EQ(found->cmd, want.command) << want.name << " command";
    }
    DestroyAcceleratorTable(table);
}

// ---------------------------------------------------------------------------
// Version record, read the way Explorer reads it: from the file

class VersionInfo
{
public:
    VersionInfo()
    {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, sizeof(path));
        DWORD handle = 0;
        DWORD size = GetFileVersionInfoSizeA(path, &handle);
        if (size) {
            data_.resize(size);
            if (!GetFileVersionInfoA(path, 0, size, data_.data()))
                data_.clear();
        }
    }
    bool ok() const { return !data_.empty(); }
    const void* Query(const char* key, UINT* size)
    {
        void* value = nullptr;
        *size = 0;
        if (!VerQueryValueA(data_.data(), key, &value, size))
            return nullptr;
        return value;
    }

private:
    std::vector<BYTE> data_;
};

TEST(ResourceVersion, FixedPartIsVersion0100ForAnApplication)
{
    VersionInfo info;
    ASSERT_TRUE(info.ok()) << "version record missing";
    UINT size = 0;
    auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(info.Query("\\", &size));
    ASSERT_NE(fixed, nullptr) << "version record: fixed part";
    ASSERT_GE(size, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00000001u) << "file version 0.1";
    EXPECT_EQ(fixed->dwFileVersionLS, 0u) << "file version .0.0";
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00000001u) << "product version 0.1";
    EXPECT_EQ(fixed->dwProductVersionLS, 0u) << "product version .0.0";
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32)) << "file OS";
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP)) << "file type";
}

TEST(ResourceVersion, TranslationIsJapaneseInCodePage932)
{
    VersionInfo info;
    ASSERT_TRUE(info.ok()) << "version record missing";
    UINT size = 0;
    auto* translation = static_cast<const WORD*>(info.Query("\\VarFileInfo\\Translation", &size));
    ASSERT_NE(translation, nullptr) << "version record: Translation";
    ASSERT_EQ(size, 4u) << "version record: one translation";
    EXPECT_EQ(translation[0], 0x0411) << "Translation language";
    EXPECT_EQ(translation[1], 932) << "Translation code page";
}

using ResourceVersionStrings = ResourceTexts;

TEST_F(ResourceVersionStrings, BlockHoldsItsKeys)
{
    VersionInfo info;
    ASSERT_TRUE(info.ok()) << "version record missing";
    const struct {
        const char* key;
        const char8_t* value;
    } rows[] = {
        {"CompanyName", u8"KOVA"},
        // メモ
        {"FileDescription", u8"\u30E1\u30E2"},
        {"FileVersion", u8"0.10"},
        {"InternalName", u8"JOTWISE"},
        {"LegalCopyright", u8"Copyright (C) 2026 KOVA"},
        {"OriginalFilename", u8"JOTWISE.EXE"},
        {"ProductName", u8"JOTWISE"},
        {"ProductVersion", u8"0.10.0"},
    };
    for (const auto& row : rows) {
        std::string key = Format("\\StringFileInfo\\041103A4\\%s", row.key);
        UINT size = 0;
        auto* value = static_cast<const char*>(info.Query(key.c_str(), &size));
        ASSERT_NE(value, nullptr) << "version record, block 041103A4, " << row.key << " missing";
        EXPECT_EQ(std::string(value), Cp932(row.value)) << "version record, block 041103A4, " << row.key;
    }
}

// ---------------------------------------------------------------------------
// Icon and toolbar bitmap

TEST(ResourceImages, IconGroupHas32And16PixelImagesIn16Colours)
{
    HRSRC resource = FindResourceA(Module(), MAKEINTRESOURCEA(IDI_JOTWISE), RT_GROUP_ICON);
    ASSERT_NE(resource, nullptr) << "icon 101 missing";
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(Module(), resource)));
    DWORD size = SizeofResource(Module(), resource);
    ASSERT_GE(size, 6u) << "icon 101 header";
    WORD count = 0;
    std::memcpy(&count, data + 4, sizeof(count));
    ASSERT_EQ(count, 2) << "icon 101: image count";
    ASSERT_GE(size, 6u + 14u * count) << "icon 101 directory";
    std::set<int> sizes;
    for (int i = 0; i < count; ++i) {
        const BYTE* entry = data + 6 + 14 * i; // width, height, colours, reserved, planes, bits, bytes, ID
        WORD bits = 0;
        std::memcpy(&bits, entry + 6, sizeof(bits));
        SCOPED_TRACE(Format("icon 101, image %dx%d", entry[0], entry[1]));
        EXPECT_EQ(entry[0], entry[1]) << "square";
        EXPECT_EQ(entry[2], 16) << "colour count";
        EXPECT_EQ(bits, 4) << "bits per pixel";
        sizes.insert(entry[0]);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 32})) << "icon 101 sizes";
}

TEST(ResourceImages, IconLoadsAtBothSizes)
{
    for (int size : {32, 16}) {
        SCOPED_TRACE(Format("icon 101 at %d", size));
        HICON icon = static_cast<HICON>(
            LoadImageA(Module(), MAKEINTRESOURCEA(IDI_JOTWISE), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr);
        ICONINFO parts = {};
        ASSERT_TRUE(GetIconInfo(icon, &parts));
        BITMAP bitmap = {};
        GetObjectA(parts.hbmColor ? parts.hbmColor : parts.hbmMask, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        if (parts.hbmColor)
            DeleteObject(parts.hbmColor);
        if (parts.hbmMask)
            DeleteObject(parts.hbmMask);
        DestroyIcon(icon);
    }
}

class BitmapOwner
{
public:
    BitmapOwner()
        : bitmap_(static_cast<HBITMAP>(
            LoadImageA(Module(), MAKEINTRESOURCEA(IDB_TOOLBAR), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)))
    {
    }
    ~BitmapOwner()
    {
        if (bitmap_)
            DeleteObject(bitmap_);
    }
    BitmapOwner(const BitmapOwner&) = delete;
    BitmapOwner& operator=(const BitmapOwner&) = delete;
    HBITMAP get() const { return bitmap_; }

private:
    HBITMAP bitmap_;
};

TEST(ResourceImages, ToolbarBitmapIsNine16PixelImagesAt4Bits)
{
    BitmapOwner bitmap;
    ASSERT_NE(bitmap.get(), nullptr) << "bitmap 101 missing";
    BITMAP info = {};
    ASSERT_NE(GetObjectA(bitmap.get(), sizeof(info), &info), 0);
    EXPECT_EQ(info.bmWidth, 144) << "bitmap 101 width";
    EXPECT_EQ(info.bmHeight, 16) << "bitmap 101 height";
    EXPECT_EQ(info.bmBitsPixel, 4) << "bitmap 101 bits per pixel";
}

// The toolbar maps light grey to the button face, so each image sits on
// light grey; and each image must actually be drawn.
TEST(ResourceImages, EveryToolbarImageIsDrawnOnLightGrey)
{
    BitmapOwner bitmap;
    ASSERT_NE(bitmap.get(), nullptr) << "bitmap 101 missing";
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap.get());
    const char* names[]
        = {"apply", "close", "copy", "paste", "font", "back colour", "due date", "properties", "help"};
    for (int image = 0; image < 9; ++image) {
        SCOPED_TRACE(Format("bitmap 101, image %d (%s)", image, names[image]));
        EXPECT_EQ(GetPixel(dc, 16 * image, 0), RGB(0xC0, 0xC0, 0xC0)) << "background at the top-left corner";
        int drawn = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x)
                drawn += GetPixel(dc, 16 * image + x, y) != RGB(0xC0, 0xC0, 0xC0);
        }
        EXPECT_GE(drawn, 30) << "pixels drawn";
    }
    SelectObject(dc, old);
    DeleteDC(dc);
}

// ---------------------------------------------------------------------------
// Manifest

TEST(ResourceManifest, AsksForCommonControls6AndNoDpiAwareness)
{
    HRSRC resource = FindResourceA(Module(), MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_NE(resource, nullptr) << "manifest resource 1 missing";
    const char* data = static_cast<const char*>(LockResource(LoadResource(Module(), resource)));
    std::string manifest(data, SizeofResource(Module(), resource));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos)
        << "manifest: common controls";
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos) << "manifest: common controls 6";
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << "manifest: execution level";
    // The program does its own layout in dialog units and system pixels; it
    // must be scaled by the system, not declare itself DPI aware.
    EXPECT_EQ(manifest.find("dpiAware"), std::string::npos) << "manifest: DPI setting";
    EXPECT_NE(
        manifest.find("<gdiScaling xmlns=\"http://schemas.microsoft.com/SMI/2017/WindowsSettings\">true<"),
        std::string::npos)
        << "manifest: crisp GDI text at any scaling";
    for (const char* os : {"35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
             "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
        EXPECT_NE(manifest.find(os), std::string::npos) << "manifest: supported OS " << os;
}

} // namespace
