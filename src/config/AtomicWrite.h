// Saving a file so that a failure never destroys the previous one: the new content goes to a
// temporary file in the same folder, which is then renamed over the target. A failed write (disk
// full, no permission, the process killed) leaves the old file whole, byte for byte. The new
// content is flushed to the disk before the rename, and the folder after it, so that a power cut
// leaves the old file or the new one, never an empty one.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace corvel::config {

struct FileWriteResult {
    bool ok = true;
    bool notRegularFile = false;  // not ok: the target exists and is not a regular file
    int error = 0;                // not ok otherwise: the system's error (errno)
    // When ok: 0, or the system's error when the new file is in place but its folder could not be
    // flushed to the disk (after a power cut the previous file may be found there again).
    int folderNotFlushed = 0;
};

// The reason shown for a save whose target exists and is not a regular file (a device, a FIFO, a
// folder, or a link to one): nothing is written and nothing there is replaced.
inline constexpr std::string_view kNotRegularFile = "pas un fichier ordinaire";

// Writes one chunk to the open file; returns the number of bytes written (fewer: a failure).
using ChunkWriter = std::function<std::size_t(std::FILE* file, std::string_view chunk)>;
// Flushes an open file or folder to the disk, as ::fsync does: 0, or -1 with errno set.
using DiskFlush = std::function<int(int descriptor)>;

// Writes `content` to `target` atomically: the chunks to a temporary file, which is flushed to the
// disk, then renamed over the target, then the folder is flushed. The temporary file is named
// after the target, starting with "." and ending with ".tmp" and a random suffix; it takes the
// permissions of the file it replaces, and is removed when anything up to the rename fails. A
// target that is a symbolic link keeps the link: the file it points to is replaced. A folder that
// cannot be flushed does not fail the save (the file is in place): the result says so in
// `folderNotFlushed`, unless the file system has no such flush (EINVAL). `writer` and `flush`
// (tests) replace the plain fwrite of each chunk and the ::fsync of the file and of the folder.
FileWriteResult WriteFileAtomically(const std::filesystem::path& target, std::string_view content,
                                    const ChunkWriter& writer = {}, const DiskFlush& flush = {});

}  // namespace corvel::config
