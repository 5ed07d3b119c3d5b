// Small text routines for setup's fixed buffers (there is no C runtime in the program).
#pragma once

#include <stdint.h>

uint32_t TextLength(const char* text);
// Copies text into a buffer of the given capacity. A text that does not fit is never cut: the
// buffer is left empty and the result is 0.
int CopyTextFits(char* buffer, const char* text, uint32_t capacity);
// Appends text to the NUL-terminated contents of buffer under the same rule; on failure the
// buffer keeps its old contents.
int AppendTextFits(char* buffer, const char* text, uint32_t capacity);
void FillBytes(void* buffer, unsigned char value, uint32_t count);
