// Our container for the calendar control: it creates the control through
// COM by its class identifier, hosts it in place on the main window, reads
// and writes its text through its dual interface and hears its Change event.
#pragma once

#include "date_core.h"
#include "win_com.h"

#include <functional>
#include <string>
#include <string_view>

namespace velmi {

class CalendarHost {
public:
    struct Callbacks {
        std::function<void()> change;               // the control's Change event
        std::function<void(bool backward)> tabOut;  // Tab went past its last stop
    };

    CalendarHost();
    ~CalendarHost();
    CalendarHost(const CalendarHost&) = delete;
    CalendarHost& operator=(const CalendarHost&) = delete;

    // Creates the control, loads it from a property bag whose text is empty
    // and activates it in place at the position (pixels in the parent).
    [[nodiscard]] HRESULT Create(HWND parent, const RECT& position, Callbacks callbacks);
    void Destroy() noexcept;

    [[nodiscard]] std::wstring Text() const;
    [[nodiscard]] HRESULT PutText(std::wstring_view text);
    // Marks or unmarks a day on the calendar; false when the control cannot.
    bool MarkDay(DateSerial day, bool marked);

    [[nodiscard]] HWND Window() const noexcept;
    void SetPosition(const RECT& position) noexcept;
    // Keys go to the control first while the focus is in it; true when it used one.
    [[nodiscard]] bool TranslateAccelerator(MSG& msg) noexcept;
    [[nodiscard]] bool HasFocus() const noexcept;

private:
    class Site;
    ComPtr<Site> site_;
};

}  // namespace velmi
