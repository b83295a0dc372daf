#version 120

// Demosaicing of the pre-processed mosaic. Sites are classified from "firstRed" in the
// coordinates of this buffer: red where both phases are 0, blue where both are 1. Built in one
// variant per method: DEMOSAIC_RAW, DEMOSAIC_MONO, DEMOSAIC_MALVAR, DEMOSAIC_GRADIENT (run on
// the output of the GREEN_ESTIMATES variant) or DEMOSAIC_MEDIAN.

uniform sampler2D source;
uniform vec4 sourceSize;         // width, height, 1/width, 1/height
uniform vec2 firstRed;
uniform int edge_detect_en;
uniform int grad_interpolate;
uniform float edge_thresh;

const int RED = 0;
const int GREEN = 1;
const int BLUE = 2;

vec2 phase;                      // phase of this fragment relative to the red site
vec2 texel;                      // this fragment's site
vec2 lastTexel;                  // the last column and row

// Reads beyond the frame mirror about its outer sites (-1 reads 1, -2 reads 2), so every site
// read keeps the colour its place in the pattern gives it; repeating the border would not.
float mirrored(float t, float last)
{
    return last - abs(last - abs(t));
}

vec2 mirrored(vec2 t, vec2 last)
{
    return last - abs(last - abs(t));
}

float P(float dx, float dy)
{
    vec2 t = mirrored(texel + vec2(dx, dy), lastTexel);
    return texture2D(source, (t + 0.5) * sourceSize.zw).r;
}

int siteOf(float px, float py)
{
    if (px != py)
        return GREEN;
    return px == 0.0 ? RED : BLUE;
}

#ifdef DEMOSAIC_RAW
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
#endif

#ifdef DEMOSAIC_MALVAR
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
#endif

#ifdef DEMOSAIC_GRADIENT
// ---- Gradient-directed method ----------------------------------------------------------
// "source" holds per site its value and its green estimates along its row and along its
// column (the estimate variant of this program). Each direction is evaluated on a window laid
// out along that direction: 7 sites along (a = -3..3) by 3 across (b = -1..1), each with its
// value and its green in that direction. The same code then serves both directions.

vec2 win[21];
bool centreGreen;                // the window's centre is a green site
bool lineIsRed;                  // the centre line of the window holds red sites, not blue
float columnAt[7];               // texture coordinates of the columns and rows -3..3 away,
float rowAt[7];                  // mirrored at the frame's border

float W(int a, int b)
{
    return win[(b + 1) * 7 + a + 3].x;
}

float G(int a, int b)
{
    return win[(b + 1) * 7 + a + 3].y;
}

void loadWindow(bool horizontal)
{
    for (int b = -1; b <= 1; ++b) {
        for (int a = -3; a <= 3; ++a) {
            vec4 site = horizontal ? texture2D(source, vec2(columnAt[a + 3], rowAt[b + 3]))
                                   : texture2D(source, vec2(columnAt[b + 3], rowAt[a + 3]));
            win[(b + 1) * 7 + a + 3] = horizontal ? site.xy : site.xz;
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
    float g = G(a, 0);
    bool green = centreGreen == (a == 2 * (a / 2));
    if (green) {
        float alongDiff = (colourDifference(a - 1, 0) + colourDifference(a + 1, 0)) * 0.5;
        float acrossDiff = (colourDifference(a, -1) + colourDifference(a, 1)) * 0.5;
        return lineIsRed ? vec3(g + alongDiff, g, g + acrossDiff) : vec3(g + acrossDiff, g, g + alongDiff);
    }
    float opposite = g + (colourDifference(a - 1, -1) + colourDifference(a + 1, -1)
                          + colourDifference(a - 1, 1) + colourDifference(a + 1, 1)) * 0.25;
    return lineIsRed ? vec3(W(a, 0), g, opposite) : vec3(opposite, g, W(a, 0));
}

void evaluateDirection(bool horizontal, float pAcross, out float gradient, out float homogeneity,
                       out vec3 centre)
{
    lineIsRed = pAcross == 0.0;
    loadWindow(horizontal);
    float C = W(0, 0);
    gradient = (abs(W(-1, 1) - W(1, 1)) + abs(W(-1, -1) - W(1, -1)) + abs(W(-1, 0) - W(1, 0))
                + abs(C - W(-2, 0)) + abs(C - W(2, 0))) / 5.0 * 255.0;
    centre = candidate(0);
    float cr = centre.r - centre.g;
    float cb = centre.b - centre.g;
    homogeneity = 0.0;
    // a = -2, -1, 1, 2; a loop that skips its middle with "continue" would not be unrolled.
    for (int k = 0; k < 4; ++k) {
        vec3 q = candidate(k < 2 ? k - 2 : k - 1);
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
    for (int k = -3; k <= 3; ++k) {
        columnAt[k + 3] = (mirrored(texel.x + float(k), lastTexel.x) + 0.5) * sourceSize.z;
        rowAt[k + 3] = (mirrored(texel.y + float(k), lastTexel.y) + 0.5) * sourceSize.w;
    }
    centreGreen = phase.x != phase.y;
    evaluateDirection(true, phase.y, h, ch, horizontal);
    evaluateDirection(false, phase.x, v, cv, vertical);

    bool useHorizontal = (h < edge_thresh && v < edge_thresh) ? ch < cv : h < v;
    if (edge_detect_en == 1)
        return useHorizontal ? vec3(1.0, 0.0, 0.0) : vec3(0.0, 0.0, 1.0);
    vec3 rgb = useHorizontal ? horizontal : vertical;
    if (grad_interpolate == 1 && ch + cv > 0.0)
        rgb = mix(horizontal, vertical, ch / (ch + cv));
    return clamp(rgb, 0.0, 1.0);
}
#endif

#ifdef GREEN_ESTIMATES
// The site's value with its green estimated along its row and along its column (a green
// site's own value), read by the gradient-directed method. Computed once per site here
// rather than for every window that contains the site.
vec4 greenEstimates(int site)
{
    float C = P(0.0, 0.0);
    if (site == GREEN)
        return vec4(C, C, C, 1.0);
    float alongRow = (P(-1.0, 0.0) + P(1.0, 0.0)) * 0.5 + (C - (P(-2.0, 0.0) + P(2.0, 0.0)) * 0.5) * 0.5;
    float alongColumn = (P(0.0, -1.0) + P(0.0, 1.0)) * 0.5 + (C - (P(0.0, -2.0) + P(0.0, 2.0)) * 0.5) * 0.5;
    return vec4(C, alongRow, alongColumn, 1.0);
}
#endif

#ifdef DEMOSAIC_MEDIAN
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
#endif

void main()
{
    texel = floor(gl_TexCoord[0].xy * sourceSize.xy);
    lastTexel = sourceSize.xy - 1.0;
    phase = mod(texel - firstRed, 2.0);
    int site = siteOf(phase.x, phase.y);
#if defined(GREEN_ESTIMATES)
    gl_FragColor = greenEstimates(site);
#else
#if defined(DEMOSAIC_RAW)
    vec3 rgb = withOwnColour(site, P(0.0, 0.0), vec3(0.0));
#elif defined(DEMOSAIC_MONO)
    vec3 rgb = vec3(P(0.0, 0.0));
#elif defined(DEMOSAIC_MALVAR)
    vec3 rgb = malvarHeCutler(site);
#elif defined(DEMOSAIC_GRADIENT)
    vec3 rgb = gradientDirected();
#else
    vec3 rgb = edgeDirectedMedian(site);
#endif
    gl_FragColor = vec4(rgb, 1.0);
#endif
}
