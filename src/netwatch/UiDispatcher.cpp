#include "UiDispatcher.h"

UiDispatcher::~UiDispatcher() = default;
