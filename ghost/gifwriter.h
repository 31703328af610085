// The GIF writer of image exports: Ghostscript has no GIF devices, so a GIF
// export is rendered as a palette BMP (1 or 8 bits per pixel) and encoded
// here, with the BMP's own colours, into a GIF file.
#ifndef GHOST_GIFWRITER_H
#define GHOST_GIFWRITER_H

// Reads the BMP file `bmp_name` and writes it as a GIF into `gif_name`.
// False, with `gif_name` removed, when the BMP is not a palette image this
// writer reads (uncompressed, 1 or 8 bits per pixel) or a file fails.
bool GSWriteGifFromBmp(const char* bmp_name, const char* gif_name);

#endif
