// Message ids of install's string table. The texts are resources of install.exe; MessageText gives
// the same English texts to the host tools (mkinstall prints them) and to the tests.
#pragma once

enum MessageId : unsigned {
    IDS_CAPTION = 2000,         // "Self-extracting archive"
    IDS_USAGE = 2005,           // usage box text
    IDS_CAPTION_EXTRACT = 2010, // "Error extracting archive"
    IDS_OPEN_ARCHIVE = 2020,
    IDS_FILE_SIZE = 2021,
    IDS_MAP_FILE = 2022,
    IDS_MAP_VIEW = 2023,
    IDS_NO_MEMORY = 2024,
    IDS_TEMP_PATH = 2025,
    IDS_TEMP_NAME = 2026,
    IDS_DELETE_TEMP = 2027,
    IDS_CREATE_TEMP_DIR = 2028,
    IDS_CREATE_THREAD = 2029,
    IDS_CREATE_DIALOG = 2030,
    IDS_WAIT = 2031,
    IDS_EXIT_CODE = 2032,
    IDS_SPAWN = 2033,
    IDS_OPEN_FILE = 2034,
    IDS_WRITE_FILE = 2035,
    IDS_CLOSE_FILE = 2036,
    IDS_CREATE_DIR = 2037,
    IDS_MAX_SIZE = 2050,
    IDS_NO_MZ = 2051,
    IDS_NO_PE = 2052,
    IDS_INVALID_DATA = 2053,
    IDS_BAD_METHOD = 2054,
    IDS_ENCRYPTED = 2055,
    IDS_MULTIPART = 2056,
    IDS_UNKNOWN_FLAGS = 2057,
    IDS_NOT_GZIP = 2058,
    IDS_PREMATURE_END = 2059,
    IDS_CANCELLED = 2060,
    IDS_CRC_ERROR = 2061,
    IDS_BAD_LENGTH = 2062,
    IDS_BAD_BLOCK = 2063,
    IDS_BAD_COMMAND_LINE = 2064,
    IDS_TAR_BAD_DATA = 2065,
    IDS_TAR_CHECKSUM = 2066,
    IDS_DISK_FULL = 2067,
};

// The English text of a message id, or null for an unknown id.
const char* MessageText(unsigned id);
