#pragma once
// A touch-enabled layer that writes every touch phase it is offered into a journal, as
// "name.began x,y" in screen points, and answers with `answer` (true: the touch is taken).

#include "support/Recorder.h"

#include "engine/Director.h"
#include "platform/Log.h"

#include <functional>

class TouchRecorder : public RecordingNode<Layer> {
  public:
    static RefPtr<TouchRecorder> make(std::string name, std::shared_ptr<Journal> journal, bool answer) {
        RefPtr<TouchRecorder> l = nodeOf<TouchRecorder>();
        l->name_ = std::move(name);
        l->journal_ = std::move(journal);
        l->answer = answer;
        l->setIsTouchEnabled(true);
        return l;
    }
    bool ccTouchesBegan(TouchSet& t, Event*) override { return note("began", t); }
    bool ccTouchesMoved(TouchSet& t, Event*) override { return note("moved", t); }
    bool ccTouchesEnded(TouchSet& t, Event*) override { return note("ended", t); }
    void draw() override {}

    bool answer = false;
    std::function<void()> onBegan; // called after a beginning is noted

  private:
    bool note(const char* phase, TouchSet& touches) {
        cpVect p = Director::sharedDirector()->convertCoordinate(touches.anyObject()->locationInView());
        record(platform::ccFormat("%s %d,%d", phase, int(p.x), int(p.y)));
        if (onBegan && phase[0] == 'b') onBegan();
        return answer;
    }
};
