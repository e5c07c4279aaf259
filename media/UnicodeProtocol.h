// The "unicode:utf8:" file name form.
//
// File names are UTF-8 on Linux, so the libraries open every name directly
// and LibraryFileName never needs the form. A name that arrives in that form
// anyway is served through a custom AVIOContext over the file
// (OpenUnicodeIO), used at every place where the engine opens a file, so
// nothing is lost.
#pragma once

#include <cstdint>
#include <string>

struct AVIOContext;

namespace media {

extern const char* const UnicodePrefix;        // "unicode:utf8:"
extern const char* const LibraryProtocolList;  // ":unicode:stream:gopher:http:pipe:rtp:tcp:udp:"

bool NeedsUnicodeName(const std::string& name);
bool IsUnicodeName(const std::string& text);
std::string EncodeUnicodeName(const std::string& name);
std::string DecodeUnicodeName(const std::string& text);
// The name to hand to the libraries (a fresh string for every call).
std::string LibraryFileName(const std::string& name);
std::string DisplayFileName(const std::string& text);

// The protocol's file callbacks. Flags use the libraries' AVIO numbering
// (AVIO_FLAG_READ 1, AVIO_FLAG_WRITE 2, AVIO_FLAG_READ_WRITE 3): an input is
// only ever opened for reading and never emptied.
struct TUnicodeFile {
  int fd = -1;
};
int unicode_open(TUnicodeFile* h, const std::string& filename, int flags);  // 0 or -2
int unicode_read(TUnicodeFile* h, uint8_t* buf, int size);                  // bytes, 0 at end, -1
int unicode_write(TUnicodeFile* h, const uint8_t* buf, int size);           // bytes or -1
int64_t unicode_seek(TUnicodeFile* h, int64_t pos, int whence);             // AVSEEK_SIZE: size
int unicode_close(TUnicodeFile* h);

// An AVIOContext over a "unicode:utf8:" name. Returns 0 or a negative error
// code; CloseUnicodeIO closes the file and frees the context (*pb := nullptr).
int OpenUnicodeIO(const std::string& name, int avioFlags, AVIOContext** pb);
void CloseUnicodeIO(AVIOContext** pb);

// Nothing to register with today's libraries; kept so the loader's
// post-load step reads as before.
void RegisterUnicodeProtocol();

}  // namespace media
