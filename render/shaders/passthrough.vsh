#version 120
// Shared by every textured pass: position through the fixed-function matrices, texture
// coordinates untouched (the passes flip the picture through the matrices and coordinates).
void main()
{
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
}
