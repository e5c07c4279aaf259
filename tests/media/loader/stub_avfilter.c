/* Stands in for a libavfilter of the right generation that lacks the
   functions the engine binds after the version. */
unsigned avfilter_version(void) { return (8u << 16) | (44u << 8) | 100u; }
