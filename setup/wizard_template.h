// The wizard window's dialog template, written in memory at run time, and the few fields of a page
// template the frame reads. Plain bytes in, bytes out: no platform calls, so the same code runs in
// setup.exe and in the native tests.
//
// Layout of a (non-extended) dialog template, little-endian throughout:
//
//   header  style u32, extended style u32, item count u16, x, y, cx, cy s16      18 bytes
//           menu, class, title: UTF-16 strings (a lone zero unit means none)
//           with DS_SETFONT: point size u16, typeface UTF-16 string
//   item    starts on a 4-byte boundary of the template
//           style u32, extended style u32, x, y, cx, cy s16, id u16                18 bytes
//           class, title: UTF-16 strings; creation data size u16 (zero here)
//
// A page template without menu and class therefore holds its caption at byte 22.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum : uint32_t {
    kWizardTemplateBytes = 1024, // the one block setup allocates; the five items fit well inside
    kTemplateTextUnits = 50,     // a class name or title in the template, terminator included
    kPageCaptionBytes = 100,     // WizardPage::Caption
    kPageCaptionOffset = 22,
    kWizardStyle = 0x90C808C4, // popup, visible, caption, system menu, centred, modal frame, font
    kCaptionBits = 0x00C00000, // WS_BORDER | WS_DLGFRAME
    kWizardPlaceholderId = 4,
    kWizardBackId = 5,
    kWizardNextId = 6,
    kWizardExitId = 7,
};

// The platform's ANSI <-> UTF-16 conversion (the ANSI code page), implemented by setup.exe with
// MultiByteToWideChar/WideCharToMultiByte and by the host tests. Both write a terminated text of
// at most `capacity` units (bytes for Narrow), cutting a longer one, and return the number of
// units written with the terminator.
int WidenAnsiText(const char* text, uint16_t* out, int capacity);
int NarrowWideText(const uint16_t* text, char* out, int capacity);

// What the frame needs of one page's template.
struct PageTemplateInfo {
    uint32_t style;
    int16_t cx;
    int16_t cy;
    uint16_t caption[kPageCaptionBytes]; // empty unless the style has a caption bit
};

// Reads a page template of `size` bytes. Returns false when it is too short to hold the header
// (the caption is then empty, the sizes zero). A caption that runs past the end or past the
// field is cut.
bool ReadPageTemplate(const uint8_t* tmpl, size_t size, PageTemplateInfo* info);

// A write position inside the template block.
struct TemplateWriter {
    uint8_t* base;
    uint8_t* pos;
    uint8_t* end;
    bool overflow; // set when something did not fit; nothing is written past `end`
};

// The position rounded up to a multiple of 4, counted from the block's start.
uint8_t* AlignToDword(const TemplateWriter* writer);

// One control, aligned to the next 4-byte boundary. `title` may be null (no title). Returns 1.
int WriteDialogItem(TemplateWriter* writer, const char* className, uint16_t id, int16_t x,
                    int16_t y, int16_t cx, int16_t cy, uint32_t style, uint32_t exStyle,
                    const char* title);

// The button texts of the frame (texts 1020, 1021, 1022 of the string table).
struct WizardButtonTexts {
    const char* back;
    const char* next;
    const char* exit;
};

// Writes the wizard's header and its five items for pages of at most `width` by `height` dialog
// units into a zero-filled block. Returns the number of bytes used, 0 when the block is too small.
size_t WriteWizardTemplate(uint8_t* block, size_t blockSize, int16_t width, int16_t height,
                           const WizardButtonTexts* texts);
