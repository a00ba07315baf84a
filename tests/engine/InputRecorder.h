#pragma once
// A touch-enabled layer that writes every touch phase, key and tilt it is offered into a journal, as
// "name.began x,y" (screen points), "name.key Ctrl+Z" or "name.tilt 0.5" (x only). It takes a touch
// when `answer` is true and a key when the key's name is `takesKey`.

#include "support/Recorder.h"

#include "engine/Director.h"
#include "platform/Input.h"
#include "platform/Log.h"

#include <functional>

class InputRecorder : public RecordingNode<Layer> {
  public:
    static RefPtr<InputRecorder> make(std::string name, std::shared_ptr<Journal> journal, bool answer,
                                      std::string takesKey = "") {
        RefPtr<InputRecorder> l = nodeOf<InputRecorder>();
        l->name_ = std::move(name);
        l->journal_ = std::move(journal);
        l->answer = answer;
        l->takesKey = std::move(takesKey);
        l->setIsTouchEnabled(true);
        return l;
    }
    bool ccTouchesBegan(TouchSet& t, Event*) override { return note("began", t); }
    bool ccTouchesMoved(TouchSet& t, Event*) override { return note("moved", t); }
    bool ccTouchesEnded(TouchSet& t, Event*) override { return note("ended", t); }
    bool keyDown(const KeyPress& key) override {
        record("key " + platform::describeKeyPress(key));
        return key.name == takesKey;
    }
    void accelerometer(Accelerometer*, const Acceleration& a) override {
        record(platform::ccFormat("tilt %g", a.x));
    }
    void draw() override {}

    bool answer = false;
    std::string takesKey;
    std::function<void()> onBegan; // called after a beginning is noted

  private:
    bool note(const char* phase, TouchSet& touches) {
        cpVect p = Director::sharedDirector()->convertCoordinate(touches.anyObject()->locationInView());
        record(platform::ccFormat("%s %d,%d", phase, int(p.x), int(p.y)));
        if (onBegan && phase[0] == 'b') onBegan();
        return answer;
    }
};
