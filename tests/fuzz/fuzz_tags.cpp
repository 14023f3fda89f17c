// Reads the tags (ID3v2, ID3v1, or the Windows Media list) of a file holding arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz_file.h"
#include "tags/tag_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = vx::fuzz::writeInput("song.mp3", data, size);
    const vx::tags::FileTags tags = vx::tags::readFileTags(path);
    if (tags.id3v2) vx::tags::hasTitleOrArtist(*tags.id3v2);
    return 0;
}
