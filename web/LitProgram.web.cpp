#include "web/LitProgram.h"

#include <emscripten.h>

namespace {

// The emulation's own shaders for a lit draw with light 0 alone, untextured or with the
// texture of unit 0 modulated (TEXTURED): the same lines, so the same colours.
const char* const vertexShader = R"(
attribute vec4 a_position;
attribute vec3 a_normal;
varying vec4 v_color;
#ifdef TEXTURED
attribute vec4 a_texCoord0;
varying vec4 v_texCoord0;
#endif
uniform mat4 u_modelView;
uniform mat4 u_projection;
uniform mat3 u_normalMatrix;
uniform vec4 u_lightModelAmbient;
uniform vec4 u_materialAmbient;
uniform vec4 u_materialDiffuse;
uniform vec4 u_materialSpecular;
uniform float u_materialShininess;
uniform vec4 u_materialEmission;
uniform vec4 u_lightAmbient0;
uniform vec4 u_lightDiffuse0;
uniform vec4 u_lightSpecular0;
uniform vec4 u_lightPosition0;
void main()
{
  vec4 ecPosition = u_modelView * a_position;
  gl_Position = u_projection * ecPosition;
#ifdef TEXTURED
  v_texCoord0 = a_texCoord0;
#endif
  vec3 ecNormal = normalize(u_normalMatrix * a_normal);
  v_color.w = u_materialDiffuse.w;
  v_color.xyz = u_materialEmission.xyz;
  v_color.xyz += u_lightModelAmbient.xyz * u_materialAmbient.xyz;
  {
    vec3 lightDirection = normalize(u_lightPosition0).xyz;
    vec3 halfVector = normalize(lightDirection + vec3(0,0,1));
    vec3 ambient = u_lightAmbient0.xyz * u_materialAmbient.xyz;
    float diffuseI = max(dot(ecNormal, lightDirection), 0.0);
    float specularI = max(dot(ecNormal, halfVector), 0.0);
    vec3 diffuse = diffuseI * u_lightDiffuse0.xyz * u_materialDiffuse.xyz;
    specularI = (diffuseI > 0.0 && specularI > 0.0) ? exp(u_materialShininess * log(specularI)) : 0.0;
    vec3 specular = specularI * u_lightSpecular0.xyz * u_materialSpecular.xyz;
    v_color.xyz += ambient + diffuse + specular;
  }
  v_color = clamp(v_color, 0.0, 1.0);
}
)";
const char* const fragmentShader = R"(
precision mediump float;
varying vec4 v_color;
#ifdef TEXTURED
varying vec4 v_texCoord0;
uniform sampler2D u_texUnit0;
#endif
void main()
{
#ifdef TEXTURED
  gl_FragColor = v_color * texture2D(u_texUnit0, v_texCoord0.xy);
#else
  gl_FragColor = v_color;
#endif
}
)";

// GL taken from the emulation: its last draw cleaned up, as its own next draw would do,
// and the programs made the first time. Module.litPrograms[textured] holds each program
// with its uniforms: where the emulation keeps each value, and the value last sent, so
// that only a changed one is sent again.
EM_JS(void, takeGl, (const char* vertexSource, const char* fragmentSource), {
    if (GLImmediate.lastRenderer)
        GLImmediate.lastRenderer.cleanup();
    if (Module.litPrograms)
        return;
    var e = GLEmulation, i = GLImmediate, m = i.matrixLib.mat4;
    var inverse = m.create(), normalMatrix = i.matrixLib.mat3.create();
    // Each uniform's name and where the emulation keeps its value.
    var values = [
        [ "u_modelView", function() { return i.matrix[0]; } ],
        [ "u_projection", function() { return i.matrix[1]; } ],
        [
            "u_normalMatrix",
            function() {
                // The inverse transpose of the modelview, made as the emulation makes it.
                m.inverse(i.matrix[0], inverse);
                m.transpose(inverse);
                return m.toMat3(inverse, normalMatrix);
            }
        ],
        [ "u_lightModelAmbient", function() { return e.lightModelAmbient; } ],
        [ "u_materialAmbient", function() { return e.materialAmbient; } ],
        [ "u_materialDiffuse", function() { return e.materialDiffuse; } ],
        [ "u_materialSpecular", function() { return e.materialSpecular; } ],
        [ "u_materialShininess", function() { return e.materialShininess; } ],
        [ "u_materialEmission", function() { return e.materialEmission; } ],
        [ "u_lightAmbient0", function() { return e.lightAmbient[0]; } ],
        [ "u_lightDiffuse0", function() { return e.lightDiffuse[0]; } ],
        [ "u_lightSpecular0", function() { return e.lightSpecular[0]; } ],
        [ "u_lightPosition0", function() { return e.lightPosition[0]; } ]
    ];
    Module.litBuffers = [];
    Module.litPrograms = [ "", "#define TEXTURED\n" ].map(function(defines, textured) {
        var program = GLctx.createProgram();
        [[GLctx.VERTEX_SHADER, vertexSource], [GLctx.FRAGMENT_SHADER, fragmentSource]].forEach(
            function(shader) {
                var made = GLctx.createShader(shader[0]);
                GLctx.shaderSource(made, defines + UTF8ToString(shader[1]));
                GLctx.compileShader(made);
                GLctx.attachShader(program, made);
            });
        // Each program's attributes at locations of their own (0 to 2, 3 to 5), where they
        // stay pointed while the other program draws.
        GLctx.bindAttribLocation(program, 3 * textured, "a_position");
        GLctx.bindAttribLocation(program, 3 * textured + 1, "a_normal");
        GLctx.bindAttribLocation(program, 3 * textured + 2, "a_texCoord0");
        GLctx.linkProgram(program);
        var uniforms = values.map(function(value) {
            return {
                at : GLctx.getUniformLocation(program, value[0]),
                value : value[1],
                sent : null
            };
        });
        return {program : program, uniforms : uniforms};
    });
});

EM_JS(void, useProgram, (int textured), {
    Module.litProgram = Module.litPrograms[textured];
    GLctx.useProgram(Module.litProgram.program);
});

// These bytes in one of the programs' own buffers (a new one for -1; an index buffer
// when indices is set); the buffer's index.
EM_JS(int, fillBuffer, (int buffer, int indices, const void* data, int bytes), {
    if (buffer < 0)
        buffer = Module.litBuffers.push(GLctx.createBuffer()) - 1;
    var target = indices ? GLctx.ELEMENT_ARRAY_BUFFER : GLctx.ARRAY_BUFFER;
    GLctx.bindBuffer(target, Module.litBuffers[buffer]);
    GLctx.bufferData(target, HEAPU8.subarray(data, data + bytes), GLctx.STATIC_DRAW);
    return buffer;
});

// A program's attributes pointed into the buffer (offsets in floats, -1 for none); one
// missing is GL's initial current value.
EM_JS(void, pointArrays,
      (int textured, int buffer, int stride, int texCoordSize, int normalAt, int vertexSize,
       int vertexAt),
      {
          var at = 3 * textured;
          GLctx.bindBuffer(GLctx.ARRAY_BUFFER, Module.litBuffers[buffer]);
          GLctx.enableVertexAttribArray(at);
          GLctx.vertexAttribPointer(at, vertexSize, GLctx.FLOAT, false, stride * 4, vertexAt * 4);
          if (normalAt >= 0) {
              GLctx.enableVertexAttribArray(at + 1);
              GLctx.vertexAttribPointer(at + 1, 3, GLctx.FLOAT, true, stride * 4, normalAt * 4);
          } else {
              GLctx.disableVertexAttribArray(at + 1);
              GLctx.vertexAttrib3f(at + 1, 0, 0, 1);
          }
          if (texCoordSize > 0) {
              GLctx.enableVertexAttribArray(at + 2);
              GLctx.vertexAttribPointer(at + 2, texCoordSize, GLctx.FLOAT, false, stride * 4, 0);
          } else {
              GLctx.disableVertexAttribArray(at + 2);
              GLctx.vertexAttrib4f(at + 2, 0, 0, 0, 1);
          }
      });

// The uniforms whose values have changed sent, then the draw: count vertices, or count
// indices from the index buffer when there is one.
EM_JS(void, sendAndDraw, (int mode, int count, int indices), {
    var uniforms = Module.litProgram.uniforms;
    for (var u = 0; u < uniforms.length; u++) {
        var uniform = uniforms[u], value = uniform.value(), sent = uniform.sent;
        if (sent) {
            var same = true;
            for (var k = 0; k < value.length && same; k++)
                same = sent[k] == value[k];
            if (same)
                continue;
            sent.set(value);
        } else {
            uniform.sent = new Float32Array(value);
        }
        if (value.length == 16)
            GLctx.uniformMatrix4fv(uniform.at, false, value);
        else if (value.length == 9)
            GLctx.uniformMatrix3fv(uniform.at, false, value);
        else if (value.length == 4)
            GLctx.uniform4fv(uniform.at, value);
        else
            GLctx.uniform1f(uniform.at, value[0]);
    }
    if (indices < 0) {
        GLctx.drawArrays(mode, 0, count);
    } else {
        GLctx.bindBuffer(GLctx.ELEMENT_ARRAY_BUFFER, Module.litBuffers[indices]);
        GLctx.drawElements(mode, count, GLctx.UNSIGNED_SHORT, 0);
    }
});

// The emulation's buffers bound again and its attributes off, and nothing of its own
// taken to be current, so that its next draw binds and sets up everything anew.
EM_JS(void, giveGlBack, (), {
    for (var at = 0; at < 6; at++)
        GLctx.disableVertexAttribArray(at);
    GLctx.bindBuffer(GLctx.ARRAY_BUFFER, GL.buffers[GLctx.currentArrayBufferBinding] || null);
    GLctx.bindBuffer(GLctx.ELEMENT_ARRAY_BUFFER,
                     GL.buffers[GLctx.currentElementArrayBufferBinding] || null);
    GLImmediate.lastArrayBuffer = null;
    GLImmediate.fixedFunctionProgram = 0;
});

EM_JS(int, textureEnabled, (), { return GLImmediate.TexEnvJIT.getTexUnitType(0) == 0xDE1; });

} // namespace

void LitProgram::drawSphere(float radius, int slices, int stacks)
{
    take(textureEnabled());
    const auto key = std::make_tuple(radius, slices, stacks);
    auto found = spheres.find(key);
    if (found == spheres.end()) {
        found = spheres.emplace(key, Sphere{SphereMesh(radius, slices, stacks), {}, -1}).first;
        Sphere& s = found->second;
        const std::vector<float>& arrays = s.mesh.getInterleaved();
        const std::vector<unsigned short>& indices = s.mesh.getTriangleIndices();
        s.arrays = {
            fillBuffer(-1, 0, arrays.data(), int(arrays.size() * sizeof(float))), 6, 0, 0, 3, 3};
        s.indices = fillBuffer(-1, 1, indices.data(), int(indices.size() * sizeof(unsigned short)));
    }
    const Sphere& s = found->second;
    if (s.mesh.getTriangleIndices().empty())
        return;
    point(s.arrays);
    sendAndDraw(4 /* GL_TRIANGLES */, int(s.mesh.getTriangleIndices().size()), s.indices);
}

void LitProgram::drawArrays(unsigned mode, const std::vector<float>& data, int texCoordSize,
                            bool hasNormal, int vertexSize)
{
    take(textureEnabled());
    // The track's strip is the same from frame to frame: it is sent again only when it is not.
    if (data != stripData) {
        stripData = data;
        stripBuffer = fillBuffer(stripBuffer, 0, data.data(), int(data.size() * sizeof(float)));
    }
    const int normal = hasNormal ? 3 : 0;
    const int stride = texCoordSize + normal + vertexSize;
    point({stripBuffer, stride, texCoordSize, hasNormal ? texCoordSize : -1, vertexSize,
           texCoordSize + normal});
    sendAndDraw(int(mode), int(data.size()) / stride, -1);
}

void LitProgram::release()
{
    if (held < 0)
        return;
    giveGlBack();
    held = -1;
    pointed[0] = pointed[1] = Layout{};
}

void LitProgram::take(bool textured)
{
    if (held < 0)
        takeGl(vertexShader, fragmentShader);
    if (held != int(textured))
        useProgram(textured);
    held = int(textured);
}

// The attributes keep pointing into a buffer whatever is bound after, and each program
// has its own: they are pointed anew only for another layout, or after GL was given back.
void LitProgram::point(const Layout& layout)
{
    if (layout == pointed[held])
        return;
    pointArrays(held, layout.buffer, layout.stride, layout.texCoordSize, layout.normalAt,
                layout.vertexSize, layout.vertexAt);
    pointed[held] = layout;
}
