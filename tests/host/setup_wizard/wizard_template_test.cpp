// The wizard window's in-memory template, byte for byte, and the page fields the frame reads.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "wizard_template.h"

namespace {

// Expected bytes, written field by field with the numbers of setup's own frame (pages of 260 by
// 159 dialog units) rather than with the writer's formulas.
struct Bytes {
    std::vector<uint8_t> b;
    void u16(uint32_t v) {
        b.push_back(v & 0xFF);
        b.push_back((v >> 8) & 0xFF);
    }
    void u32(uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void wstr(const char* s) {
        for (; *s; ++s)
            u16(static_cast<unsigned char>(*s));
        u16(0);
    }
    void align() {
        while (b.size() % 4)
            b.push_back(0); // the block is zero-filled, so padding reads as zero
    }
    void item(uint32_t style, int x, int y, int cx, int cy, int id, const char* cls,
              const char* title) {
        align();
        u32(style);
        u32(0);
        u16(static_cast<uint16_t>(x));
        u16(static_cast<uint16_t>(y));
        u16(static_cast<uint16_t>(cx));
        u16(static_cast<uint16_t>(cy));
        u16(static_cast<uint16_t>(id));
        wstr(cls);
        if (title)
            wstr(title);
        else
            u16(0);
        u16(0);
    }
};

const WizardButtonTexts kTexts = {"< &Back", "&Next >", "E&xit Setup"};

std::vector<uint8_t> Write(int16_t w, int16_t h, size_t blockSize = kWizardTemplateBytes,
                           size_t* used = nullptr) {
    std::vector<uint8_t> block(blockSize, 0);
    size_t n = WriteWizardTemplate(block.data(), block.size(), w, h, &kTexts);
    if (used)
        *used = n;
    block.resize(n);
    return block;
}

TEST(WizardTemplate, SetupsFrameByteForByte) {
    Bytes e;
    e.u32(0x90C808C4);
    e.u32(0);
    e.u16(5);
    e.u16(0);
    e.u16(0);
    e.u16(268);
    e.u16(189);
    e.u16(0); // menu
    e.u16(0); // class
    e.u16(0); // title
    e.u16(8);
    e.wstr("MS Sans Serif");
    e.item(0x40000000, 4, 4, 260, 159, 4, "static", nullptr);
    e.item(0x50020010, 4, 167, 261, 1, 0xFFFF, "static", nullptr);
    e.item(0x50010001, 105, 171, 50, 14, 5, "button", "< &Back");
    e.item(0x50010000, 155, 171, 50, 14, 6, "button", "&Next >");
    e.item(0x50010000, 213, 171, 50, 14, 7, "button", "E&xit Setup");

    std::vector<uint8_t> got = Write(260, 159);
    EXPECT_EQ(got, e.b);
    EXPECT_EQ(got.size(), 290u);
}

TEST(WizardTemplate, ItemsStartOnDwordBoundaries) {
    // The five items of setup's frame start at these offsets: each after the previous one's
    // end, rounded up to a multiple of four (54 -> 56, 178 -> 180, 230 -> 232).
    std::vector<uint8_t> t = Write(260, 159);
    const size_t starts[] = {56, 92, 128, 180, 232};
    const uint16_t ids[] = {4, 0xFFFF, 5, 6, 7};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        size_t at = starts[i];
        EXPECT_EQ(at % 4, 0u);
        EXPECT_EQ(t[at + 16] | t[at + 17] << 8, ids[i]);
    }
}

TEST(WizardTemplate, SizesFollowTheLargestPage) {
    struct Case {
        int16_t w, h;
        uint16_t cx, cy, lineY, lineW, buttonsY, back, next, exit;
    };
    const Case cases[] = {
        {0, 0, 8, 30, 8, 1, 12, static_cast<uint16_t>(-155), static_cast<uint16_t>(-105),
         static_cast<uint16_t>(-47)},
        {300, 100, 308, 130, 108, 301, 112, 145, 195, 253},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.w);
        std::vector<uint8_t> t = Write(c.w, c.h);
        auto at16 = [&](size_t o) { return static_cast<uint16_t>(t[o] | t[o + 1] << 8); };
        EXPECT_EQ(at16(14), c.cx);
        EXPECT_EQ(at16(16), c.cy);
        EXPECT_EQ(at16(56 + 12), c.w);     // placeholder cx
        EXPECT_EQ(at16(56 + 14), c.h);     // placeholder cy
        EXPECT_EQ(at16(92 + 10), c.lineY); // line y
        EXPECT_EQ(at16(92 + 12), c.lineW); // line cx
        EXPECT_EQ(at16(128 + 8), c.back);  // Back x
        EXPECT_EQ(at16(128 + 10), c.buttonsY);
        EXPECT_EQ(at16(180 + 8), c.next);
        EXPECT_EQ(at16(232 + 8), c.exit);
    }
}

TEST(WizardTemplate, LongTitlesAreCutToFiftyUnits) {
    std::string longText(80, 'x');
    WizardButtonTexts texts = {longText.c_str(), "&Next >", "E&xit Setup"};
    std::vector<uint8_t> block(kWizardTemplateBytes, 0);
    size_t n = WriteWizardTemplate(block.data(), block.size(), 260, 159, &texts);
    ASSERT_GT(n, 0u);
    // Back's title follows its class at 128 + 18 + 14: 49 units of 'x' and the terminator.
    size_t title = 128 + 18 + 14;
    for (int i = 0; i < 49; ++i)
        ASSERT_EQ(block[title + 2 * i], 'x') << i;
    EXPECT_EQ(block[title + 98], 0);
    EXPECT_EQ(block[title + 99], 0);
    EXPECT_EQ(block[title + 100], 0); // creation data size
}

TEST(WizardTemplate, TooSmallABlockIsRefusedWithoutWritingPastIt) {
    for (size_t size : {size_t{0}, size_t{17}, size_t{54}, size_t{289}}) {
        SCOPED_TRACE(size);
        std::vector<uint8_t> block(size + 64, 0xA5);
        std::fill(block.begin(), block.begin() + size, 0);
        EXPECT_EQ(WriteWizardTemplate(block.data(), size, 260, 159, &kTexts), 0u);
        for (size_t i = size; i < block.size(); ++i)
            ASSERT_EQ(block[i], 0xA5) << i;
    }
    std::vector<uint8_t> exact(290, 0);
    EXPECT_EQ(WriteWizardTemplate(exact.data(), exact.size(), 260, 159, &kTexts), 290u);
}

TEST(WizardTemplate, WriteDialogItemWithoutTitle) {
    alignas(4) uint8_t block[64] = {};
    TemplateWriter w = {block, block + 2, block + sizeof block, false};
    EXPECT_EQ(AlignToDword(&w), block + 4);
    EXPECT_EQ(WriteDialogItem(&w, "ab", 0x1234, -1, 2, 3, 4, 0x11223344, 0x55667788, nullptr), 1);
    const uint8_t want[] = {0,    0,    0,    0, 0x44, 0x33, 0x22, 0x11, 0x88, 0x77, 0x66,
                            0x55, 0xFF, 0xFF, 2, 0,    3,    0,    4,    0,    0x34, 0x12,
                            'a',  0,    'b',  0, 0,    0,    0,    0,    0,    0};
    EXPECT_EQ(w.pos - block, 32);
    EXPECT_EQ(std::memcmp(block, want, sizeof want), 0);
    EXPECT_FALSE(w.overflow);
}

// A page template as the resource compiler writes it: header, no menu, no class, caption.
std::vector<uint8_t> PageTemplate(uint32_t style, int16_t cx, int16_t cy, const char* caption) {
    Bytes p;
    p.u32(style);
    p.u32(0);
    p.u16(0);
    p.u16(0);
    p.u16(0);
    p.u16(static_cast<uint16_t>(cx));
    p.u16(static_cast<uint16_t>(cy));
    p.u16(0);
    p.u16(0);
    p.wstr(caption);
    p.u16(8);
    p.wstr("MS Sans Serif");
    return p.b;
}

std::string Caption(const PageTemplateInfo& info) {
    char ansi[kPageCaptionBytes];
    NarrowWideText(info.caption, ansi, sizeof ansi);
    return ansi;
}

TEST(PageTemplate, CaptionAtByte22AndSizes) {
    std::vector<uint8_t> t = PageTemplate(0x40C00444, 260, 159, "Choose Destination Location");
    PageTemplateInfo info;
    ASSERT_TRUE(ReadPageTemplate(t.data(), t.size(), &info));
    EXPECT_EQ(info.style, 0x40C00444u);
    EXPECT_EQ(info.cx, 260);
    EXPECT_EQ(info.cy, 159);
    EXPECT_EQ(Caption(info), "Choose Destination Location");
}

TEST(PageTemplate, CaptionRules) {
    struct Case {
        uint32_t style;
        std::string caption;
        std::string want;
    };
    const Case cases[] = {
        {0x40C00444, "Welcome", "Welcome"},
        {0x40800444, "Border bit only", "Border bit only"}, // WS_BORDER alone counts
        {0x40400444, "Frame bit only", "Frame bit only"},   // WS_DLGFRAME alone counts
        {0x40000444, "No caption bits", ""},
        {0x40C00444, std::string(150, 'c'), std::string(99, 'c')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        std::vector<uint8_t> t = PageTemplate(c.style, 10, 20, c.caption.c_str());
        PageTemplateInfo info;
        ASSERT_TRUE(ReadPageTemplate(t.data(), t.size(), &info));
        EXPECT_EQ(Caption(info), c.want);
    }
}

TEST(PageTemplate, TruncatedTemplates) {
    std::vector<uint8_t> t = PageTemplate(0x40C00444, 260, 159, "Welcome");
    PageTemplateInfo info;
    EXPECT_FALSE(ReadPageTemplate(t.data(), 21, &info));
    EXPECT_EQ(info.cx, 0);
    EXPECT_EQ(Caption(info), "");
    // A caption cut off by the end of the resource ends where the bytes end.
    ASSERT_TRUE(ReadPageTemplate(t.data(), 22 + 2 * 3 + 1, &info));
    EXPECT_EQ(Caption(info), "Wel");
    EXPECT_EQ(info.cx, 260);
}

TEST(PageTemplate, NegativeSizesReadSigned) {
    std::vector<uint8_t> t = PageTemplate(0x40C00444, -5, 200, "x");
    PageTemplateInfo info;
    ASSERT_TRUE(ReadPageTemplate(t.data(), t.size(), &info));
    EXPECT_EQ(info.cx, -5);
    EXPECT_EQ(info.cy, 200);
}

} // namespace
