// The PNG writer, compiled once.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"
