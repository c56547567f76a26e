#version 120

// Per-vertex part of the Phong lighting shared by the build plate and the models: everything
// lighting needs is handed on in eye space and normalised per fragment.
uniform mat4 mvpMatrix;
uniform mat4 mvMatrix;
uniform mat3 normalMatrix;
uniform vec3 lightPosition;

attribute vec4 vertex;
attribute vec3 normal;

varying vec3 varyingNormal;
varying vec3 varyingLightDirection;
varying vec3 varyingViewerDirection;

void main(void)
{
    vec4 eyeVertex = mvMatrix * vertex;
    eyeVertex /= eyeVertex.w;

    varyingNormal = normalMatrix * normal;
    varyingLightDirection = lightPosition - eyeVertex.xyz;
    varyingViewerDirection = -eyeVertex.xyz;

    gl_Position = mvpMatrix * vertex;
}
