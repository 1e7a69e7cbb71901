#include "picture_cache.h"

#include <epoxy/gl.h>

#include <map>

#include "engine/reset.h"
#include "engine/vfs.h"
#include "engine/picture_file.h"

namespace {

std::map<std::string, gl_picture_t> pictures;
gl_picture_t white;

gl_picture_t upload(int width, int height, const uint8_t* rgba)
{
    gl_picture_t picture{0, width, height};
    glGenTextures(1, &picture.texture);
    glBindTexture(GL_TEXTURE_2D, picture.texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    return picture;
}

void forget_pictures()
{
    // Textures exist only where the context was made; the white picture stays for the next frames.
    for (auto& [path, picture] : pictures)
        if (picture.texture != white.texture)
            glDeleteTextures(1, &picture.texture);
    pictures.clear();
}

engine_reset_registrar_t picture_reset_registrar(reset_order_devices + 5, forget_pictures);

}  // namespace

const gl_picture_t& picture_white()
{
    if (!white.texture) {
        const uint8_t pixel[4] = {255, 255, 255, 255};
        white = upload(1, 1, pixel);
    }
    return white;
}

const gl_picture_t& picture_texture(const std::string& path)
{
    const auto found = pictures.find(path);
    if (found != pictures.end())
        return found->second;
    gl_picture_t& slot = pictures[path];
    slot = picture_white();
    // A missing file is no fault (many shaders name no picture); a bad one is reported by the decoder.
    vfs_stat_t stat{};
    std::string bytes;
    picture_t picture;
    if (!path.empty() && vfs_stat(path.c_str(), &stat) == 0 && vfs_read_whole(path.c_str(), bytes) &&
        picture_decode(bytes, path, picture))
        slot = upload(picture.width, picture.height, picture.rgba.data());
    return slot;
}
