// The one translation unit that holds the stb_image decoder. Only decoding from memory is
// used; the decoder never opens files itself.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#include <stb_image.h>
