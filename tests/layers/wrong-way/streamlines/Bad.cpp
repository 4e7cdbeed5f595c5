#include "flow/Vector3.h"
#include "view/FlowView.h"
#include <GL/gl.h>
