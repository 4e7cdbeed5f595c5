#include <QString>
#include "../streamlines/Bad.h"
