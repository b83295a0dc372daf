#version 120

// Demosaicing of the pre-processed mosaic. Sites are classified from "firstRed" in the
// coordinates of this buffer: red where both phases are 0, blue where both are 1.

uniform sampler2D source;
uniform vec4 sourceSize;         // width, height, 1/width, 1/height
uniform vec2 firstRed;
uniform int malvar_he_cutler_en;
uniform int hirakawa_en;         // 1 gradient-directed, 2 monochrome
uniform int edge_detect_en;
uniform int grad_interpolate;
uniform int demosaic_dis;
uniform float edge_thresh;

const int RED = 0;
const int GREEN = 1;
const int BLUE = 2;

vec2 phase;                      // phase of this fragment relative to the red site

float P(float dx, float dy)
{
    return texture2D(source, gl_TexCoord[0].xy + vec2(dx, dy) * sourceSize.zw).r;
}

int siteOf(float px, float py)
{
    if (px != py)
        return GREEN;
    return px == 0.0 ? RED : BLUE;
}

vec3 withOwnColour(int site, float own, vec3 rgb)
{
    if (site == RED)
        rgb.r = own;
    else if (site == GREEN)
        rgb.g = own;
    else
        rgb.b = own;
    return rgb;
}

// ---- Malvar-He-Cutler linear 5x5 filter -------------------------------------------------

vec3 malvarHeCutler(int site)
{
    float C = P(0.0, 0.0);
    float row1 = P(-1.0, 0.0) + P(1.0, 0.0);
    float col1 = P(0.0, -1.0) + P(0.0, 1.0);
    float row2 = P(-2.0, 0.0) + P(2.0, 0.0);
    float col2 = P(0.0, -2.0) + P(0.0, 2.0);
    float diag = P(-1.0, -1.0) + P(1.0, -1.0) + P(-1.0, 1.0) + P(1.0, 1.0);

    float greenAtRB = (4.0 * C + 2.0 * (row1 + col1) - (row2 + col2)) / 8.0;
    float oppositeAtRB = (6.0 * C + 2.0 * diag - 1.5 * (row2 + col2)) / 8.0;
    // At a green site: the colour of its row neighbours and of its column neighbours.
    float rowColour = (5.0 * C + 4.0 * row1 - row2 - diag + 0.5 * col2) / 8.0;
    float colColour = (5.0 * C + 4.0 * col1 - col2 - diag + 0.5 * row2) / 8.0;

    if (site == RED)
        return vec3(C, greenAtRB, oppositeAtRB);
    if (site == BLUE)
        return vec3(oppositeAtRB, greenAtRB, C);
    if (phase.y == 0.0)          // green in a red row
        return vec3(rowColour, C, colColour);
    return vec3(colColour, C, rowColour);
}

// ---- Gradient-directed method ----------------------------------------------------------
// Each direction is evaluated on a window laid out along that direction: 11 sites along
// (a = -5..5) by 3 across (b = -1..1). The same code then serves both directions.

float win[33];
float greenEst[21];              // a = -3..3, b = -1..1
float alongPhase;
float acrossPhase;

float W(int a, int b)
{
    return win[(b + 1) * 11 + a + 5];
}

float G(int a, int b)
{
    return greenEst[(b + 1) * 7 + a + 3];
}

int siteW(int a, int b)
{
    return siteOf(mod(alongPhase + float(a), 2.0), mod(acrossPhase + float(b), 2.0));
}

void loadWindow(vec2 along, vec2 across)
{
    for (int b = -1; b <= 1; ++b)
        for (int a = -5; a <= 5; ++a)
            win[(b + 1) * 11 + a + 5] = texture2D(source,
                gl_TexCoord[0].xy + (along * float(a) + across * float(b)) * sourceSize.zw).r;
    for (int b = -1; b <= 1; ++b) {
        for (int a = -3; a <= 3; ++a) {
            float g = W(a, b);
            if (siteW(a, b) != GREEN)
                g = (W(a - 1, b) + W(a + 1, b)) * 0.5 + (g - (W(a - 2, b) + W(a + 2, b)) * 0.5) * 0.5;
            greenEst[(b + 1) * 7 + a + 3] = g;
        }
    }
}

float colourDifference(int a, int b)
{
    return W(a, b) - G(a, b);
}

// Full colour at window site (a, 0): own colour kept, green from the estimate, the missing
// colours as green plus the mean colour difference of the nearest sites of that colour.
vec3 candidate(int a)
{
    int site = siteW(a, 0);
    float g = G(a, 0);
    if (site == GREEN) {
        float alongDiff = (colourDifference(a - 1, 0) + colourDifference(a + 1, 0)) * 0.5;
        float acrossDiff = (colourDifference(a, -1) + colourDifference(a, 1)) * 0.5;
        bool alongIsRed = mod(acrossPhase, 2.0) == 0.0;
        return alongIsRed ? vec3(g + alongDiff, g, g + acrossDiff)
                          : vec3(g + acrossDiff, g, g + alongDiff);
    }
    float opposite = g + (colourDifference(a - 1, -1) + colourDifference(a + 1, -1)
                          + colourDifference(a - 1, 1) + colourDifference(a + 1, 1)) * 0.25;
    return site == RED ? vec3(W(a, 0), g, opposite) : vec3(opposite, g, W(a, 0));
}

void evaluateDirection(vec2 along, vec2 across, float pAlong, float pAcross,
                       out float gradient, out float homogeneity, out vec3 centre)
{
    alongPhase = pAlong;
    acrossPhase = pAcross;
    loadWindow(along, across);
    float C = W(0, 0);
    gradient = (abs(W(-1, 1) - W(1, 1)) + abs(W(-1, -1) - W(1, -1)) + abs(W(-1, 0) - W(1, 0))
                + abs(C - W(-2, 0)) + abs(C - W(2, 0))) / 5.0 * 255.0;
    centre = candidate(0);
    float cr = centre.r - centre.g;
    float cb = centre.b - centre.g;
    homogeneity = 0.0;
    for (int a = -2; a <= 2; ++a) {
        if (a == 0)
            continue;
        vec3 q = candidate(a);
        homogeneity += abs(cr - (q.r - q.g)) + abs(cb - (q.b - q.g));
    }
}

vec3 gradientDirected()
{
    float h;
    float ch;
    vec3 horizontal;
    float v;
    float cv;
    vec3 vertical;
    evaluateDirection(vec2(1.0, 0.0), vec2(0.0, 1.0), phase.x, phase.y, h, ch, horizontal);
    evaluateDirection(vec2(0.0, 1.0), vec2(1.0, 0.0), phase.y, phase.x, v, cv, vertical);

    bool useHorizontal = (h < edge_thresh && v < edge_thresh) ? ch < cv : h < v;
    if (edge_detect_en == 1)
        return useHorizontal ? vec3(1.0, 0.0, 0.0) : vec3(0.0, 0.0, 1.0);
    vec3 rgb = useHorizontal ? horizontal : vertical;
    if (grad_interpolate == 1 && ch + cv > 0.0)
        rgb = mix(horizontal, vertical, ch / (ch + cv));
    return clamp(rgb, 0.0, 1.0);
}

// ---- Edge-directed median method -------------------------------------------------------

float grid[25];                  // 5x5 block around the fragment
float medGreen[9];               // green estimate of the 3x3 block

float Q(int dx, int dy)
{
    return grid[(dy + 2) * 5 + dx + 2];
}

float M(int dx, int dy)
{
    return medGreen[(dy + 1) * 3 + dx + 1];
}

// Mean of the two middle values of four: robust against one outlier on either side.
float median4(float a, float b, float c, float d)
{
    return (a + b + c + d - min(min(a, b), min(c, d)) - max(max(a, b), max(c, d))) * 0.5;
}

vec3 edgeDirectedMedian(int site)
{
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            grid[(dy + 2) * 5 + dx + 2] = P(float(dx), float(dy));
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            float g = Q(dx, dy);
            if (siteOf(mod(phase.x + float(dx), 2.0), mod(phase.y + float(dy), 2.0)) != GREEN)
                g = median4(Q(dx - 1, dy), Q(dx + 1, dy), Q(dx, dy - 1), Q(dx, dy + 1));
            medGreen[(dy + 1) * 3 + dx + 1] = g;
        }
    }
    float dh = 0.0;
    float dv = 0.0;
    float largest = 0.0;
    for (int i = -1; i <= 1; ++i) {
        for (int j = -1; j <= 0; ++j) {
            float along = abs(M(j, i) - M(j + 1, i));
            float across = abs(M(i, j) - M(i, j + 1));
            dh += along;
            dv += across;
            largest = max(largest, max(along, across));
        }
    }

    float C = Q(0, 0);
    bool redRow = phase.y == 0.0;
    if (255.0 * largest <= edge_thresh) {
        float cross = (Q(-1, 0) + Q(1, 0) + Q(0, -1) + Q(0, 1)) * 0.25;
        float diag = (Q(-1, -1) + Q(1, -1) + Q(-1, 1) + Q(1, 1)) * 0.25;
        float row = (Q(-1, 0) + Q(1, 0)) * 0.5;
        float col = (Q(0, -1) + Q(0, 1)) * 0.5;
        if (site == RED)
            return vec3(C, cross, diag);
        if (site == BLUE)
            return vec3(diag, cross, C);
        return redRow ? vec3(row, C, col) : vec3(col, C, row);
    }

    if (site == GREEN) {
        float rowDiff = (Q(-1, 0) - M(-1, 0) + Q(1, 0) - M(1, 0)) * 0.5;
        float colDiff = (Q(0, -1) - M(0, -1) + Q(0, 1) - M(0, 1)) * 0.5;
        return redRow ? vec3(C + rowDiff, C, C + colDiff) : vec3(C + colDiff, C, C + rowDiff);
    }
    float g = dh < dv ? (Q(-1, 0) + Q(1, 0)) * 0.5 : (Q(0, -1) + Q(0, 1)) * 0.5;
    float opposite = g + (Q(-1, -1) - M(-1, -1) + Q(1, -1) - M(1, -1)
                          + Q(-1, 1) - M(-1, 1) + Q(1, 1) - M(1, 1)) * 0.25;
    return site == RED ? vec3(C, g, opposite) : vec3(opposite, g, C);
}

void main()
{
    phase = mod(floor(gl_TexCoord[0].xy * sourceSize.xy) - firstRed, 2.0);
    int site = siteOf(phase.x, phase.y);
    float C = P(0.0, 0.0);
    vec3 rgb;
    if (demosaic_dis == 1)
        rgb = withOwnColour(site, C, vec3(0.0));
    else if (hirakawa_en == 2)
        rgb = vec3(C);
    else if (malvar_he_cutler_en == 1)
        rgb = malvarHeCutler(site);
    else if (hirakawa_en == 1)
        rgb = gradientDirected();
    else
        rgb = edgeDirectedMedian(site);
    gl_FragColor = vec4(rgb, 1.0);
}
