#include "busy.h"

namespace {
std::function<void(bool)>& hook()
{
    static std::function<void(bool)> h;
    return h;
}
} // namespace

void setBusyHook(std::function<void(bool)> h)
{
    hook() = std::move(h);
}

BusyScope::BusyScope()
{
    if (hook())
        hook()(true);
}

BusyScope::~BusyScope()
{
    if (hook())
        hook()(false);
}
