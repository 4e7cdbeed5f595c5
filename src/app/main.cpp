// tavrel: interactive visualisation of two-dimensional flow data sets.
#include "app/CViewerApp.h"
#include "ui/GlSetup.h"

int main(int argc, char** argv)
{
    tvl::prepareOpenGl();
    tvl::CViewerApp app(argc, argv);
    return app.run();
}
