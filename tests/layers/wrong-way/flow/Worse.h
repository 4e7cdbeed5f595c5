#include "../streamlines/Bad.h"
#include <QString>
