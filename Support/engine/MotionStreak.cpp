#include "engine/MotionStreak.h"

#include <algorithm>

RefPtr<MotionStreak> MotionStreak::streakWithFade(float fade, float minSeg, const std::string& image,
                                                  float width, float length, uint32_t color) {
    return construct<MotionStreak>(
        [&](MotionStreak& s) { return s.initWithFade(fade, minSeg, image, width, length, color); });
}

bool MotionStreak::initWithFade(float fade, float minSeg, const std::string& image, float width, float length,
                                uint32_t color) {
    if (!CocosNode::init()) return false;
    fadeTime_ = fade;
    segThreshold_ = minSeg;
    path_ = image;
    width_ = width;
    textureLength_ = length;
    color_ = color;
    ribbon_ = Ribbon::ribbonWithWidth(width_, path_, textureLength_, color_, fadeTime_);
    if (!ribbon_) return false;
    add(ribbon_);

    timerTarget_ = makeRef<Ref>();
    WeakPtr<MotionStreak> self(this);
    timer_ = Timer::timerWithTarget(timerTarget_, "update:", [self](float dt) {
        if (RefPtr<MotionStreak> streak = self.lock()) streak->update(dt);
    });
    Scheduler* scheduler = Scheduler::sharedScheduler();
    scheduler->scheduleTimer(timer_);
    scheduler_ = scheduler;
    return true;
}

MotionStreak::~MotionStreak() {
    // Off the scheduler that runs it (a purged scheduler has dropped it already).
    if (Scheduler* scheduler = scheduler_.get(); scheduler && timer_) {
        auto holds = [&](const std::vector<RefPtr<Timer>>& list) {
            return std::find(list.begin(), list.end(), timer_) != list.end();
        };
        if (holds(scheduler->methodsToAdd()) || holds(scheduler->scheduledMethods()))
            scheduler->unscheduleTimer(timer_);
    }
    if (ribbon_) remove(ribbon_);
}

void MotionStreak::update(float dt) {
    const cpVect p = absolutePosition();
    ribbon_->setPosition(cpv(-p.x, -p.y));
    if (cpvlength(cpvsub(lastLocation_, p)) > segThreshold_) {
        ribbon_->addPointAt(p, width_);
        lastLocation_ = p;
    }
    ribbon_->update(dt);
}
