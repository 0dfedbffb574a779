#pragma once

// The values one upload cycle carries from step to step: its parameters, the
// picture's names and what the picture step produced.

#include <QString>
#include <exception>

#include "engine/file_naming.h"

namespace snapwire::upload {

struct CycleValues {
    bool Auto = false;    // a timer or motion started the cycle
    bool Motion = false;  // motion started it: the motion log gets entries too
    QString PercentMotion;
    UploadNames names;
    QString StampText;
    int frameWidth = 0;
    int frameHeight = 0;
};

// Runs a step whose failure is skipped: the work goes on with the next step.
template <typename Step>
void Skipping(Step&& step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

}  // namespace snapwire::upload
