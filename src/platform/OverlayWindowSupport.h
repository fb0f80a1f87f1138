// SPDX-License-Identifier: MIT
#pragma once

class QWindow;

namespace Vexilo {

// What a floating window needs from the window system: to stay out of the taskbar and above other
// windows, to take the keyboard when the user summons it from another application, and whether a
// compositor can draw it translucent.
class OverlayWindowSupport
{
public:
    virtual ~OverlayWindowSupport();

    // Once, after the native window exists and before it is first shown.
    virtual void prepare(QWindow &window) = 0;
    // Brings the shown window to the front with keyboard focus.
    virtual void activate(QWindow &window) = 0;
    [[nodiscard]] virtual bool isCompositing() const = 0;
    // Tiling compositors tile every window unless its size is fixed; such a window floats.
    [[nodiscard]] virtual bool floatsOnlyAtFixedSize() const { return false; }
};

// What any Qt platform offers: the window flags and Qt's own activation request.
class QtOverlayWindowSupport : public OverlayWindowSupport
{
public:
    explicit QtOverlayWindowSupport(bool tilingCompositor = false)
        : m_tiling(tilingCompositor)
    { }

    void prepare(QWindow &window) override;
    void activate(QWindow &window) override;
    [[nodiscard]] bool isCompositing() const override { return false; }
    [[nodiscard]] bool floatsOnlyAtFixedSize() const override { return m_tiling; }

private:
    bool m_tiling;
};

} // namespace Vexilo
