// Draws the person, from the hips up, in a given pose. The figure is placed by the
// position of the middle of the shoulder line and a scale in pixels per body unit
// (one straight arm), so the same pose fills a webcam picture or a small guide pane.
#pragma once

#include <opencv2/core.hpp>

#include "tools/render/Pose.h"

namespace zorvexa::render {

struct Placement {
    cv::Point2d shoulders; // middle of the shoulder line, pixels
    double scale = 100.0;  // pixels per body unit
};

struct Wardrobe {
    cv::Scalar shirt{52, 62, 186};  // BGR
    cv::Scalar trim{240, 240, 240}; // collar and sleeve hems
    cv::Scalar skin{122, 160, 214};
    cv::Scalar hair{28, 38, 58};
    // Horizontal stripes across the shirt's body: their colour and width in body units
    // (0: a plain shirt).
    cv::Scalar stripe{0, 0, 0};
    double stripeWidth = 0.0;
};

// The person's build as factors of the standard figure: broader shoulders, thicker
// limbs, a larger head.
struct Build {
    double breadth = 1.0; // shoulder and waist width
    double girth = 1.0;   // thickness of arms and waist
    double head = 1.0;    // head size
};

// Image positions of the joints of one pose (used for drawing and by checks).
struct Joints {
    cv::Point2d leftShoulder, leftElbow, leftHand;
    cv::Point2d rightShoulder, rightElbow, rightHand;
    cv::Point2d head;
    double headRadius = 0.0;
};

Joints jointsOf(const Pose& pose, const Placement& at, const Build& build = Build{});

// Draws the figure onto `picture` (8-bit, 3 channels).
void drawFigure(cv::Mat& picture, const Pose& pose, const Placement& at,
                const Wardrobe& clothes = Wardrobe{}, const Build& build = Build{});

} // namespace zorvexa::render
