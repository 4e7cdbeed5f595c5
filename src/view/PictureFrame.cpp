#include "view/PictureFrame.h"

#include "view/FlowView.h"

namespace tvl {

PictureFrame PictureFrame::of(const FlowView& view)
{
    return {view.canvasWidth(), view.canvasHeight(), view.viewportWidth(), view.viewportHeight(),
        view.gridRegionMinimum(), view.gridRegionMaximum()};
}

PixelScale PictureFrame::pixelScale() const
{
    return {(gridMaximum.x - gridMinimum.x) / static_cast<float>(viewportWidth),
        (gridMaximum.y - gridMinimum.y) / static_cast<float>(viewportHeight)};
}

void PictureFrame::toPicture(double gridX, double gridY, double& x, double& y) const
{
    const double width = static_cast<double>(gridMaximum.x) - static_cast<double>(gridMinimum.x);
    const double height = static_cast<double>(gridMaximum.y) - static_cast<double>(gridMinimum.y);
    x = (gridX - static_cast<double>(gridMinimum.x)) / width * viewportWidth;
    const double up = (gridY - static_cast<double>(gridMinimum.y)) / height * viewportHeight;
    y = static_cast<double>(canvasHeight) - up;
}

} // namespace tvl
