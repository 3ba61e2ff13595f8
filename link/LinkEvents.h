// What the link tells whoever shows it, as it happens: the two lights of the
// main window. Called on the link's own thread, inside its exchanges; the
// command line has no use for them and passes none.
#pragma once

enum class LinkLight {
    Ack, // the handset took a frame of ours
    Pack, // a reply of the handset was taken and acknowledged
};

class LinkEvents {
public:
    virtual ~LinkEvents() = default;
    virtual void lightChanged(LinkLight light, bool lit) = 0;
};
