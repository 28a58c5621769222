#pragma once

#include "app/startup.h"

namespace zelp {

// The start-up platform of the desktop: CorePlatform plus the primary screen.
class DesktopPlatform : public CorePlatform {
public:
    QSize screenClientArea() const override;
};

} // namespace zelp
