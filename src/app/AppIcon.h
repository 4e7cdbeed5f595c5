#pragma once

#include <QIcon>

namespace tvl {

// The application icon: a streamline and an arrow over a dark field, drawn
// at the sizes the window system asks for.
QIcon makeAppIcon();

} // namespace tvl
