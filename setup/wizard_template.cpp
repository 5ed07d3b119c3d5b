#include "wizard_template.h"

static uint16_t ReadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

static uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool ReadPageTemplate(const uint8_t* tmpl, size_t size, PageTemplateInfo* info) {
    info->style = 0;
    info->cx = 0;
    info->cy = 0;
    info->caption[0] = 0;
    if (size < kPageCaptionOffset)
        return false;
    info->style = ReadU32(tmpl);
    info->cx = static_cast<int16_t>(ReadU16(tmpl + 14));
    info->cy = static_cast<int16_t>(ReadU16(tmpl + 16));
    if ((info->style & kCaptionBits) == 0)
        return true;
    // The caption field is a fixed-size record member; a longer caption is cut, never overrun.
    uint32_t n = 0;
    for (size_t at = kPageCaptionOffset; at + 2 <= size && n + 1 < kPageCaptionBytes; at += 2) {
        uint16_t unit = ReadU16(tmpl + at);
        if (unit == 0)
            break;
        info->caption[n++] = unit;
    }
    info->caption[n] = 0;
    return true;
}

uint8_t* AlignToDword(const TemplateWriter* writer) {
    size_t offset = static_cast<size_t>(writer->pos - writer->base);
    return writer->base + ((offset + 3) & ~static_cast<size_t>(3));
}

static void PutU16(TemplateWriter* w, uint32_t value) {
    if (w->end - w->pos < 2) {
        w->overflow = true;
        return;
    }
    w->pos[0] = static_cast<uint8_t>(value);
    w->pos[1] = static_cast<uint8_t>(value >> 8);
    w->pos += 2;
}

static void PutU32(TemplateWriter* w, uint32_t value) {
    PutU16(w, value & 0xFFFF);
    PutU16(w, value >> 16);
}

// An ANSI text as a terminated UTF-16 string of at most kTemplateTextUnits units; no text gives
// the lone zero unit that means "none".
static void PutText(TemplateWriter* w, const char* text) {
    uint16_t units[kTemplateTextUnits];
    int count = 1;
    units[0] = 0;
    if (text) {
        count = WidenAnsiText(text, units, kTemplateTextUnits);
        if (count < 1) {
            units[0] = 0;
            count = 1;
        }
    }
    for (int i = 0; i < count; ++i)
        PutU16(w, units[i]);
}

int WriteDialogItem(TemplateWriter* writer, const char* className, uint16_t id, int16_t x,
                    int16_t y, int16_t cx, int16_t cy, uint32_t style, uint32_t exStyle,
                    const char* title) {
    uint8_t* aligned = AlignToDword(writer);
    if (aligned > writer->end) {
        writer->overflow = true;
        return 1;
    }
    writer->pos = aligned;
    PutU32(writer, style);
    PutU32(writer, exStyle);
    PutU16(writer, static_cast<uint16_t>(x));
    PutU16(writer, static_cast<uint16_t>(y));
    PutU16(writer, static_cast<uint16_t>(cx));
    PutU16(writer, static_cast<uint16_t>(cy));
    PutU16(writer, id);
    PutText(writer, className);
    PutText(writer, title);
    PutU16(writer, 0); // no creation data
    return 1;
}

size_t WriteWizardTemplate(uint8_t* block, size_t blockSize, int16_t width, int16_t height,
                           const WizardButtonTexts* texts) {
    TemplateWriter w = {block, block, block + blockSize, false};
    const int W = width;
    const int H = height;
    auto s16 = [](int v) { return static_cast<int16_t>(v); };

    PutU32(&w, kWizardStyle);
    PutU32(&w, 0); // extended style
    PutU16(&w, 5); // items
    PutU16(&w, 0);
    PutU16(&w, 0);
    PutU16(&w, static_cast<uint16_t>(W + 8));
    PutU16(&w, static_cast<uint16_t>(H + 30));
    PutU16(&w, 0); // no menu
    PutU16(&w, 0); // the predefined dialog class
    PutU16(&w, 0); // empty title: each page's caption is set when it is shown
    PutU16(&w, 8);
    PutText(&w, "MS Sans Serif");

    // The placeholder only carries the page area's rectangle; the frame takes it and destroys it.
    WriteDialogItem(&w, "static", kWizardPlaceholderId, 4, 4, s16(W), s16(H), 0x40000000, 0,
                    nullptr);
    WriteDialogItem(&w, "static", 0xFFFF, 4, s16(H + 8), s16(W + 1), 1, 0x50020010, 0, nullptr);
    WriteDialogItem(&w, "button", kWizardBackId, s16(W - 155), s16(H + 12), 50, 14, 0x50010001, 0,
                    texts->back);
    WriteDialogItem(&w, "button", kWizardNextId, s16(W - 105), s16(H + 12), 50, 14, 0x50010000, 0,
                    texts->next);
    WriteDialogItem(&w, "button", kWizardExitId, s16(W - 47), s16(H + 12), 50, 14, 0x50010000, 0,
                    texts->exit);
    if (w.overflow)
        return 0;
    return static_cast<size_t>(w.pos - w.base);
}
