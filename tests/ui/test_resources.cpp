// test_resources.cpp - the compiled templates, bitmaps and cursor are what the dialogs expect.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/ui/screen_pixels.h"

namespace {

// One control of a dialog template, as the resource compiler stored it.
struct Item {
    DWORD style;
    short x, y, cx, cy;
    int id; // -1 for a control without id
    std::string kind;
    std::string text;
};

struct Template {
    DWORD style;
    short x, y, cx, cy;
    std::string title;
    int pointSize;
    std::string font;
    std::vector<Item> items;
};

// Reads the plain DLGTEMPLATE layout: header, menu, class, title, font, then one
// DWORD-aligned DLGITEMTEMPLATE per control with its class, text and extra data.
class TemplateReader {
  public:
    explicit TemplateReader(const void* data) : base(static_cast<const BYTE*>(data)), at(base) {}

    Template Read() {
        Template t{};
        t.style = Dword();
        Dword(); // extended style
        int count = Word();
        t.x = Short();
        t.y = Short();
        t.cx = Short();
        t.cy = Short();
        NameOrOrdinal(); // menu
        NameOrOrdinal(); // class
        t.title = String();
        if (t.style & DS_SETFONT) {
            t.pointSize = Word();
            t.font = String();
        }
        for (int i = 0; i < count; ++i) {
            Align();
            Item item{};
            item.style = Dword();
            Dword();
            item.x = Short();
            item.y = Short();
            item.cx = Short();
            item.cy = Short();
            item.id = static_cast<short>(Word());
            item.kind = NameOrOrdinal();
            item.text = NameOrOrdinal();
            at += Word(); // creation data
            t.items.push_back(item);
        }
        return t;
    }

  private:
    WORD Word() {
        WORD w = at[0] | at[1] << 8;
        at += 2;
        return w;
    }
    short Short() { return static_cast<short>(Word()); }
    DWORD Dword() {
        DWORD low = Word();
        return low | static_cast<DWORD>(Word()) << 16;
    }
    void Align() {
        while ((at - base) % 4 != 0)
            ++at;
    }
    std::string String() {
        std::string s;
        for (WORD c = Word(); c != 0; c = Word())
            s += static_cast<char>(c);
        return s;
    }
    // The predefined classes are stored as ordinals.
    std::string NameOrOrdinal() {
        if (at[0] == 0xFF && at[1] == 0xFF) {
            at += 2;
            switch (Word()) {
            case 0x80:
                return "Button";
            case 0x81:
                return "Edit";
            case 0x82:
                return "Static";
            default:
                return "?";
            }
        }
        return String();
    }

    const BYTE* base;
    const BYTE* at;
};

Template LoadTemplate(UINT id) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5)); // RT_DIALOG
    EXPECT_NE(found, nullptr) << "template " << id;
    if (found == nullptr)
        return {};
    return TemplateReader(LockResource(LoadResource(nullptr, found))).Read();
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kFontFlag = DS_SETFONT;

void ExpectItem(const Item& actual, const Item& expected, int index) {
    SCOPED_TRACE("control #" + std::to_string(index + 1));
    EXPECT_EQ(actual.id, expected.id);
    EXPECT_STRCASEEQ(actual.kind.c_str(), expected.kind.c_str());
    EXPECT_EQ(actual.style, expected.style);
    EXPECT_EQ(actual.x, expected.x);
    EXPECT_EQ(actual.y, expected.y);
    EXPECT_EQ(actual.cx, expected.cx);
    EXPECT_EQ(actual.cy, expected.cy);
    EXPECT_EQ(actual.text, expected.text);
}

const char kDeveloperText[] =
    "      If you are a software developer or programmer, check this box to also install the "
    "modules and documentation which enable you to incorporate Lexivane conversion technology "
    "into your software applications.";
const char kWarningText[] =
    "Any pre-existing files in the above directory will be deleted. This directory will be "
    "automatically created if necessary. It should be different from the directory where the "
    "downloaded LEXIVANE.EXE was saved.";

} // namespace

TEST(SetupTemplate, DialogFrameTitleAndFont) {
    Template t = LoadTemplate(IDD_SETUP);
    EXPECT_EQ(t.style, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                           WS_MAXIMIZEBOX | DS_MODALFRAME | kFontFlag);
    EXPECT_EQ(t.x, 64);
    EXPECT_EQ(t.y, 60);
    EXPECT_EQ(t.cx, 266);
    EXPECT_EQ(t.cy, 180);
    EXPECT_EQ(t.title, "Lexivane - Installation");
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.font, "MS Sans Serif");
}

// Template order is the tab order, so the list is compared row by row.
TEST(SetupTemplate, ThirteenControlsInTabOrder) {
    Template t = LoadTemplate(IDD_SETUP);
    const Item expected[] = {
        {kChild | BS_PUSHBUTTON | WS_TABSTOP, 27, 158, 64, 15, IDOK, "Button", "&Install"},
        {kChild | SS_LEFT | WS_GROUP, 5, 41, 61, 8, IDC_DIRECTORY_LABEL, "Static",
         "Install to &directory:"},
        {kChild | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 68, 39, 193, 12, IDC_DIRECTORY,
         "Edit", ""},
        {kChild | SS_LEFT | WS_GROUP, 5, 88, 253, 25, -1, "Static", kDeveloperText},
        {kChild | BS_PUSHBUTTON | WS_TABSTOP, 171, 158, 64, 15, IDCANCEL, "Button", "&Abort"},
        {kChild | SS_ETCHEDHORZ, 5, 82, 256, 1, -1, "Static", ""},
        {kChild | SS_CENTER, 31, 11, 204, 18, -1, "Static",
         "Lexivane Document Conversion - Setup\n"
         "For Help with any item, click right mouse button on it."},
        {WS_CHILD | SS_BLACKFRAME, 5, 137, 256, 12, IDC_METER, "Static", ""},
        {kChild | SS_LEFT | WS_GROUP, 5, 55, 253, 27, -1, "Static", kWarningText},
        {kChild | SS_ETCHEDFRAME | SS_SUNKEN, 5, 5, 256, 29, -1, "Static", ""},
        {kChild | ES_LEFT | ES_MULTILINE | ES_READONLY, 5, 123, 256, 12, IDC_STATUS, "Edit", ""},
        {kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 5, 87, 9, 10, IDC_DEVELOPER, "Button", ""},
        {kChild | SS_ETCHEDHORZ, 5, 116, 256, 1, -1, "Static", ""},
    };
    ASSERT_EQ(t.items.size(), std::size(expected));
    for (size_t i = 0; i < t.items.size(); ++i)
        ExpectItem(t.items[i], expected[i], static_cast<int>(i));
}

TEST(PanelTemplates, HiddenBorderedPopupsWithOneText) {
    struct Panel {
        UINT id;
        short cx, cy, textCx, textCy;
        const char* text;
    };
    const Panel panels[] = {
        {IDD_HELP_INSTALL, 96, 32, 89, 26,
         "Click on this button to install the software into the directory shown above."},
        {IDD_HELP_ABORT, 78, 23, 73, 19, "Click on this button to abort installation."},
        // One unit wider than the two lines need, for Wine's word wrap.
        {IDD_HELP_EXIT, 124, 24, 117, 17,
         "Click on this button to exit installation and start the Lexivane program."},
        {IDD_HELP_DIRECTORY, 105, 49, 96, 42,
         "In this space, enter the drive and directory (path) where the software should be "
         "installed. If the directory does not exist, it will be created automatically."},
    };
    for (const Panel& panel : panels) {
        SCOPED_TRACE("template " + std::to_string(panel.id));
        Template t = LoadTemplate(panel.id);
        EXPECT_EQ(t.style, WS_POPUP | WS_BORDER | kFontFlag);
        EXPECT_EQ(t.cx, panel.cx);
        EXPECT_EQ(t.cy, panel.cy);
        EXPECT_EQ(t.title, "");
        EXPECT_EQ(t.font, "MS Sans Serif");
        EXPECT_EQ(t.pointSize, 8);
        ASSERT_EQ(t.items.size(), 1u);
        ExpectItem(t.items[0],
                   {kChild | SS_LEFT, 3, 3, panel.textCx, panel.textCy, -1, "Static", panel.text},
                   0);
    }
}

TEST(PanelTemplates, GeneralPanelHasThreeTexts) {
    Template t = LoadTemplate(IDD_HELP_GENERAL);
    EXPECT_EQ(t.style, WS_POPUP | DS_MODALFRAME | kFontFlag);
    EXPECT_EQ(t.cx, 206);
    EXPECT_EQ(t.cy, 94);
    EXPECT_EQ(t.title, "");
    ASSERT_EQ(t.items.size(), 3u);
    const Item expected[] = {
        {kChild | SS_LEFT, 6, 5, 196, 33, -1, "Static",
         "Clicking the right mouse button on any dialog item (such as a check box or a button) "
         "displays QuickHelp on that item if available, else it displays this panel. The mouse "
         "cursor also changes to a dot, indicating that you are in QuickHelp mode."},
        {kChild | SS_LEFT, 6, 41, 196, 33, -1, "Static",
         "Some dialog items (such as edit fields where you can type in information) display a "
         "special Windows menu when you click the right mouse button on them. For QuickHelp on "
         "such items, click the right mouse button on some other item first."},
        {kChild | SS_LEFT, 6, 79, 196, 10, -1, "Static",
         "To close a QuickHelp panel, simply click inside it."},
    };
    for (size_t i = 0; i < 3; ++i)
        ExpectItem(t.items[i], expected[i], static_cast<int>(i));
}

namespace {

const BITMAPINFOHEADER* BitmapHeader(UINT id) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2)); // RT_BITMAP
    if (found == nullptr)
        return nullptr;
    return static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, found)));
}

int Luminance(COLORREF c) {
    return (299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c)) / 1000;
}

// The mean colour difference across the seam where a tile meets the next one, against the
// largest mean difference between neighbouring columns (or rows) inside the tile. A seam
// shows as a jump larger than any of the texture's own.
double SeamRatio(const Pixels& p, bool acrossColumns) {
    auto diff = [](COLORREF a, COLORREF b) {
        return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
               std::abs(GetBValue(a) - GetBValue(b));
    };
    int lines = acrossColumns ? p.width : p.height;
    int along = acrossColumns ? p.height : p.width;
    double seam = 0, inner = 0;
    for (int line = 0; line < lines; ++line) {
        int next = (line + 1) % lines;
        double sum = 0;
        for (int i = 0; i < along; ++i)
            sum += acrossColumns ? diff(p.At(line, i), p.At(next, i))
                                 : diff(p.At(i, line), p.At(i, next));
        if (next == 0)
            seam = sum / along;
        else
            inner = std::max(inner, sum / along);
    }
    return seam / inner;
}

} // namespace

TEST(Bitmaps, SizesAndColourDepths) {
    struct Expected {
        UINT id;
        LONG width, height;
        WORD bits;
    };
    for (Expected e : {Expected{IDB_BACKGROUND, 150, 170, 24},
                       Expected{IDB_BACKGROUND_16, 90, 90, 4}, Expected{IDB_PANEL, 32, 32, 4}}) {
        SCOPED_TRACE("bitmap " + std::to_string(e.id));
        const BITMAPINFOHEADER* header = BitmapHeader(e.id);
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(header->biWidth, e.width);
        EXPECT_EQ(header->biHeight, e.height);
        EXPECT_EQ(header->biBitCount, e.bits);
        EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_RGB));
    }
}

// Black text must stay readable on every pixel, and the tiles must meet without a seam.
TEST(Bitmaps, LightTexturesThatTileWithoutSeams) {
    for (UINT id : {IDB_BACKGROUND, IDB_BACKGROUND_16, IDB_PANEL}) {
        SCOPED_TRACE("bitmap " + std::to_string(id));
        Pixels p = BitmapResourcePixels(id);
        int darkest = 255, lightest = 0;
        for (COLORREF c : p.values) {
            darkest = std::min(darkest, Luminance(c));
            lightest = std::max(lightest, Luminance(c));
        }
        EXPECT_GE(darkest, 200);
        EXPECT_GT(lightest, darkest) << "a texture, not a flat colour";
        EXPECT_LE(SeamRatio(p, true), 1.0);
        EXPECT_LE(SeamRatio(p, false), 1.0);
    }
}

TEST(DotCursor, HotSpotAndInvertingDot) {
    HCURSOR cursor = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_DOT_CURSOR));
    ASSERT_NE(cursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 15u);
    EXPECT_EQ(info.yHotspot, 15u);
    EXPECT_EQ(info.hbmColor, nullptr) << "monochrome";
    BITMAP mask{};
    ASSERT_EQ(GetObjectA(info.hbmMask, sizeof mask, &mask), static_cast<int>(sizeof mask));
    ASSERT_EQ(mask.bmWidth, 32);
    ASSERT_EQ(mask.bmHeight, 64); // the AND mask above the XOR mask
    std::vector<BYTE> bits(mask.bmWidthBytes * mask.bmHeight);
    ASSERT_GT(GetBitmapBits(info.hbmMask, static_cast<LONG>(bits.size()), bits.data()), 0);
    auto bit = [&](int x, int y) {
        return (bits[y * mask.bmWidthBytes + x / 8] >> (7 - x % 8)) & 1;
    };
    // Rows of 3, 5, 5, 5 and 3 pixels centred on the hot spot: AND 1 and XOR 1 invert.
    const int halfWidth[] = {1, 2, 2, 2, 1};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            int row = y - 13;
            bool inDot = row >= 0 && row < 5 && std::abs(x - 15) <= halfWidth[row];
            EXPECT_EQ(bit(x, y), 1) << "AND at " << x << "," << y;
            EXPECT_EQ(bit(x, y + 32), inDot ? 1 : 0) << "XOR at " << x << "," << y;
        }
    }
    DeleteObject(info.hbmMask);
}
