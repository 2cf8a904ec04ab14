// Tintara's entry in a web page: make the window, deal, show it; from then on
// the page delivers its events here, one at a time.
#include "Form1.h"

#include <emscripten.h>

#include <cstddef>

namespace
{

// The window lasts as long as the page.
tintara::Form1 form;

} // namespace

// An event of the page on the control of record `index` of the layout table.
extern "C" EMSCRIPTEN_KEEPALIVE void tintara_event(int index, int event)
{
    form.HandlePageEvent(static_cast<std::size_t>(index),
                         static_cast<tintara::layout::Event>(event));
}

int main()
{
    form.Create();
    form.Show();
    // The program lives on with the page, which goes on delivering events.
    emscripten_exit_with_live_runtime();
}
