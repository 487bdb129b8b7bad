#include "tcpmon/MainLayout.h"

namespace tamrel {

MainAreaWidths MainAreaFor(int windowWidth)
{
    return {windowWidth / 22, windowWidth * 5 / 11};
}

int LabelLeft(int windowLeft, int windowWidth)
{
    return windowLeft + windowWidth / 2;
}

} // namespace tamrel
