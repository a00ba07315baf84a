#include "engine/Action.h"

#include "engine/CocosNode.h"
#include "platform/Log.h"

void Action::setTarget(CocosNode* node) { target_ = node; }

void Action::step(float) { ccLog("[Action step]. override me"); }
