#include "gl_draw.h"

#include <epoxy/gl.h>

#include <cstddef>
#include <cstring>

#include "engine/log.h"

namespace {

const char* vertex_source = R"(#version 330 core
uniform mat4 transform;
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 uv;
layout(location = 2) in vec4 colour;
layout(location = 3) in vec3 normal;
out vec2 v_uv;
out vec4 v_colour;
out vec3 v_normal;
void main()
{
    gl_Position = transform * vec4(position, 1.0);
    v_uv = uv;
    v_colour = colour;
    v_normal = normal;
}
)";

const char* fragment_source = R"(#version 330 core
uniform sampler2D picture;
uniform int lit;
uniform vec3 ambient;
uniform vec3 diffuse;
uniform vec3 light_direction;
in vec2 v_uv;
in vec4 v_colour;
in vec3 v_normal;
out vec4 colour;
void main()
{
    colour = texture(picture, v_uv) * v_colour;
    // Where the picture is clear nothing is drawn, so the clear corners of a sprite (a snow flake, a
    // flare) hide nothing drawn behind them later.
    if (colour.a < 0.004)
        discard;
    if (lit != 0) {
        // Normals are not made unit: a road's shading scales its normals on purpose.
        float facing = max(dot(v_normal, light_direction), 0.0);
        colour.rgb *= ambient + diffuse * facing;
    }
}
)";

// The program and its buffers, made on the first draw.
struct program_t {
    bool tried = false;
    GLuint program = 0;
    GLuint array = 0;
    GLuint buffer = 0;
    GLint transform = -1;
    GLint lit = -1;
    GLint ambient = -1;
    GLint diffuse = -1;
    GLint light_direction = -1;
};

program_t made;

GLuint compile(GLenum kind, const char* source)
{
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint good = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &good);
    if (!good) {
        char log[512] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        error("gfx: the painter's shader does not compile: %s", log);
    }
    return shader;
}

bool make_program()
{
    made.tried = true;
    const GLuint vertex = compile(GL_VERTEX_SHADER, vertex_source);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, fragment_source);
    made.program = glCreateProgram();
    glAttachShader(made.program, vertex);
    glAttachShader(made.program, fragment);
    glLinkProgram(made.program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint good = 0;
    glGetProgramiv(made.program, GL_LINK_STATUS, &good);
    if (!good) {
        error("gfx: the painter's program does not link");
        glDeleteProgram(made.program);
        made.program = 0;
        return false;
    }
    made.transform = glGetUniformLocation(made.program, "transform");
    made.lit = glGetUniformLocation(made.program, "lit");
    made.ambient = glGetUniformLocation(made.program, "ambient");
    made.diffuse = glGetUniformLocation(made.program, "diffuse");
    made.light_direction = glGetUniformLocation(made.program, "light_direction");
    glGenVertexArrays(1, &made.array);
    glGenBuffers(1, &made.buffer);
    glBindVertexArray(made.array);
    glBindBuffer(GL_ARRAY_BUFFER, made.buffer);
    const GLsizei stride = sizeof(gl_vertex_t);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(gl_vertex_t, position)));
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(gl_vertex_t, uv)));
    glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(gl_vertex_t, colour)));
    glVertexAttribPointer(3, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(gl_vertex_t, normal)));
    for (GLuint i = 0; i < 4; ++i)
        glEnableVertexAttribArray(i);
    return true;
}

}  // namespace

bool gl_same_state(const gl_batch_state_t& a, const gl_batch_state_t& b)
{
    return std::memcmp(a.transform, b.transform, sizeof a.transform) == 0 && a.texture == b.texture &&
           a.lines == b.lines && a.depth_test == b.depth_test && a.depth_write == b.depth_write && a.lit == b.lit &&
           std::memcmp(a.ambient, b.ambient, sizeof a.ambient) == 0 &&
           std::memcmp(a.diffuse, b.diffuse, sizeof a.diffuse) == 0 &&
           std::memcmp(a.light_direction, b.light_direction, sizeof a.light_direction) == 0 &&
           std::memcmp(a.viewport, b.viewport, sizeof a.viewport) == 0 &&
           std::memcmp(a.scissor, b.scissor, sizeof a.scissor) == 0;
}

bool gl_draw(const gl_batch_state_t& state, const std::vector<gl_vertex_t>& vertices)
{
    if (!made.tried)
        make_program();
    if (!made.program)
        return false;
    if (vertices.empty())
        return true;
    glUseProgram(made.program);
    glBindVertexArray(made.array);
    glBindBuffer(GL_ARRAY_BUFFER, made.buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(gl_vertex_t)), vertices.data(),
                 GL_STREAM_DRAW);
    glUniformMatrix4fv(made.transform, 1, GL_TRUE, state.transform);
    glUniform1i(made.lit, state.lit);
    glUniform3fv(made.ambient, 1, state.ambient);
    glUniform3fv(made.diffuse, 1, state.diffuse);
    glUniform3fv(made.light_direction, 1, state.light_direction);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, state.texture);
    glViewport(state.viewport[0], state.viewport[1], state.viewport[2], state.viewport[3]);
    glEnable(GL_SCISSOR_TEST);
    glScissor(state.scissor[0], state.scissor[1], state.scissor[2], state.scissor[3]);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    if (state.depth_test) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glDepthMask(state.depth_write ? GL_TRUE : GL_FALSE);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    glDrawArrays(state.lines ? GL_LINES : GL_TRIANGLES, 0, static_cast<GLsizei>(vertices.size()));
    return true;
}

void gl_clear(bool colour, bool depth, const float* rgba)
{
    glDisable(GL_SCISSOR_TEST);
    glClearColor(rgba[0], rgba[1], rgba[2], 1.0f);
    glDepthMask(GL_TRUE);
    glClearDepth(1.0);
    glClear((colour ? GL_COLOR_BUFFER_BIT : 0u) | (depth ? GL_DEPTH_BUFFER_BIT : 0u));
}
