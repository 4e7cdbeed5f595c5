#include "view/LayerSettings.h"

namespace tvl {

namespace {

constexpr int kFirstValuePosition = 2;

} // namespace

ArrowCoding ArrowCoding::fromListPosition(int position)
{
    if (position == 1)
        return speed();
    if (position >= kFirstValuePosition)
        return additionalValue(position - kFirstValuePosition);
    return none();
}

int ArrowCoding::listPosition() const
{
    switch (kind) {
    case Kind::Speed:
        return 1;
    case Kind::AdditionalValue:
        return value + kFirstValuePosition;
    case Kind::None:
        break;
    }
    return 0;
}

} // namespace tvl
