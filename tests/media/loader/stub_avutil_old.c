/* Stands in for a libavutil of another generation (major 56). */
unsigned avutil_version(void) { return (56u << 16) | (70u << 8) | 100u; }
