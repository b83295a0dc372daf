#version 120
uniform sampler2D tex;
void main()
{
    gl_FragColor = vec4(texture2D(tex, gl_TexCoord[0].xy).rgb, 1.0);
}
