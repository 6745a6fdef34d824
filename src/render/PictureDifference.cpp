#include "render/PictureDifference.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstdlib>

#include "scene/Node.h"

PictureDifference comparePictures(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b,
                                  int tolerance) {
    PictureDifference result;
    const size_t pixels = std::min(a.size(), b.size()) / 4;
    if (pixels == 0 || a.size() != b.size()) {
        // Pictures of different sizes cannot be compared: as far apart as can be.
        result.meanAbsolute = 255.0;
        result.shareWithin = 0.0;
        return result;
    }
    unsigned long long sum = 0;
    size_t within = 0;
    for (size_t p = 0; p < pixels; ++p) {
        int worst = 0;
        for (int c = 0; c < 3; ++c) {
            const int d = std::abs(int(a[4 * p + c]) - int(b[4 * p + c]));
            sum += unsigned(d);
            worst = std::max(worst, d);
        }
        if (worst <= tolerance) ++within;
    }
    result.meanAbsolute = double(sum) / double(3 * pixels);
    result.shareWithin = double(within) / double(pixels);
    return result;
}

std::vector<unsigned char> drawScenePicture(Node* root, int width, int height) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDrawBuffer(GL_BACK);
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (root) {
        root->draw();
        root->drawTransparent();
    }
    std::vector<unsigned char> picture(size_t(width) * height * 4, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, picture.data());
    return picture;
}
