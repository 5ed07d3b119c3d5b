#include "messages.h"

namespace {

struct MessageEntry {
    unsigned id;
    const char* text;
};

// Typos and inner quotes are the texts users have always seen; keep them as they are.
constexpr MessageEntry kMessages[] = {
    {IDS_CAPTION, "Self-extracting archive"},
    {IDS_USAGE,
     "Usage: install [tmp_path]\n\nWhere tmp_path is a path to temporary directory\nwith "
     "enough space for holding extracted archive."},
    {IDS_CAPTION_EXTRACT, "Error extracting archive"},
    {IDS_OPEN_ARCHIVE, "Error opening archive file: "},
    {IDS_FILE_SIZE, "Error getting file size: "},
    {IDS_MAP_FILE, "Error mapping file to memory: "},
    {IDS_MAP_VIEW, "Error creating view of memory mapped file: "},
    {IDS_NO_MEMORY, "Error: not enough memmory: "},
    {IDS_TEMP_PATH, "Unable to get path to temporary files from system: "},
    {IDS_TEMP_NAME, "Unable to get temporary file name: "},
    {IDS_DELETE_TEMP, "Unable to delete temporary file: "},
    {IDS_CREATE_TEMP_DIR, "Unable to create temporary directory: "},
    {IDS_CREATE_THREAD, "Unable to create new thread: "},
    {IDS_CREATE_DIALOG, "Unable to create dialog window: "},
    {IDS_WAIT, "Unable to wait for thread termination: "},
    {IDS_EXIT_CODE, "Unable to get thread exit code: "},
    {IDS_SPAWN, "Unable to spawn external program: "},
    {IDS_OPEN_FILE, "Error opening file: "},
    {IDS_WRITE_FILE, "Error writing file: "},
    {IDS_CLOSE_FILE, "Error closing file: "},
    {IDS_CREATE_DIR, "Error creating directory: "},
    {IDS_MAX_SIZE, "Maximal archive size reached."},
    {IDS_NO_MZ, "No EXE signature found."},
    {IDS_NO_PE, "No PE executable signature found."},
    {IDS_INVALID_DATA, "Archive corrupted, invalid compressed data."},
    {IDS_BAD_METHOD, "Unsupported compression method."},
    {IDS_ENCRYPTED, "Encrypted archives not supported."},
    {IDS_MULTIPART, "Multipart archives not supported."},
    {IDS_UNKNOWN_FLAGS, "Unknown compression flags."},
    {IDS_NOT_GZIP, "Archive type not recognised."},
    {IDS_PREMATURE_END, "Archive corrupted, premature end of file."},
    {IDS_CANCELLED, "Extraction terminated on user request."},
    {IDS_CRC_ERROR, "Archive corrupted, CRC error."},
    {IDS_BAD_LENGTH, "Archive corrupted, bad archive length."},
    {IDS_BAD_BLOCK, "Unsupported compressed block."},
    {IDS_BAD_COMMAND_LINE, "Bad command-line parameters, use switch \"-h\" for help."},
    {IDS_TAR_BAD_DATA, "Corrupted archive, bad data."},
    {IDS_TAR_CHECKSUM, "Corrupted archive, invalid checksum."},
    {IDS_DISK_FULL,
     "Target disk is full. Please free aditional space or redirect\nto another drive "
     "using path parameter (use \"-h\" for help)."},
};

} // namespace

const char* MessageText(unsigned id) {
    for (const MessageEntry& entry : kMessages) {
        if (entry.id == id)
            return entry.text;
    }
    return nullptr;
}
