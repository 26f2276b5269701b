"""The corvid88 window end to end: the real program against the stand-in mouse, on a virtual X
screen, driven through its accessibility tree and the X pointer, checked by the mouse's trace and
a screenshot.

Run by CTest through run-under-xvfb; by hand:
    tests/e2e/run-under-xvfb window_test.py build/src/app/corvid88 resources FOLDER

Each step is a function taking the Run; add a page's steps to STEPS in the order they should
happen (the window is left on the page the step before opened).
"""

import os
import shutil
import subprocess
import sys
import time

import window_driver as drive

# The layer write: parameter byte 33 takes the layer (0 Main Control).
MAIN_LAYER_WRITE = "set 40 05 00 21 00 00 00 01"
# The first poll comes 3.5 s after start; then the whole mouse is read.
MOUSE_FOUND_TIMEOUT = 40


class Run:
    def __init__(self, program, resources, folder):
        self.resources = resources
        self.folder = folder
        self.texts = {n: drive.language_texts(resources, n) for n in (1, 2, 3)}
        self.window = drive.Window(program, folder)
        self.language = 1

    def text(self, key, language=None):
        return self.texts[language or self.language][key]

    def check(self, condition, message):
        if not condition:
            raise drive.StepFailed(message)

    def trace_is_unchanged(self, before, what):
        time.sleep(0.5)  # anything the press sent is in the trace by now
        after = self.window.trace_lines()
        self.check(after == before, f"{what} sent {after[len(before):]}")


def the_mouse_is_found_and_read(run):
    run.window.attach()
    # Without a mouse the key page is on show in English.
    run.window.find(run.text("Str004"))
    lines = run.window.wait_for_mouse(MOUSE_FOUND_TIMEOUT)
    run.check(lines[0] == "set 40 0D 00 00 00 00 00 00",
              f"the mouse was not identified first: {lines[:3]}")


def middle_key_through_the_menus(run):
    """Button 4 has no function in the defaults: give it the middle button through the function
    menus, with the X pointer as a user would."""
    before = run.window.trace_lines()
    middle = run.text("Str212")
    labels = {run.window.centre(c) for c in run.window.controls(middle)}
    run.window.click("Button 4")
    run.window.click(run.text("Str201"))  # Standard Mouse Key opens its panel

    def the_menu_item():
        items = [c for c in run.window.controls(middle) if run.window.centre(c) not in labels]
        return items[0] if items else None
    item = drive.wait_until("the Middle Key menu item", the_menu_item, 10)
    x, y = run.window.centre(item)
    subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True, timeout=10)
    # Slot 4 of Main Control: profile bytes 12..15 take the middle button's code.
    write = "set 40 05 01 0C 01 04 00 00"
    run.window.wait_for_trace_line(write, 10, after=len(before))
    lines = run.window.wait_for_quiet_trace(quiet=0.5)
    run.check(lines[len(before):] == [write], f"the menu choice sent {lines[len(before):]}")
    run.check(not run.window.shows("Button 4"), "button 4 still shows no function")
    run.check(len(run.window.controls(middle)) >= 2, "button 4 does not show Middle Key")


def dpi_level_3_to_1600_by_its_bar(run):
    """The seventh segment of level 3's bar sets it to 1600 DPI: the level pair byte 40 first,
    then the current level written again so that the mouse takes it."""
    before = run.window.trace_lines()
    run.check(run.window.shows("1200", role=None), "level 3 does not start at 1200 DPI")
    run.window.click("DPI level 3, step 7", role=None)
    run.window.wait_for_quiet_trace(quiet=0.5)
    sent = run.window.trace_lines()[len(before):]
    run.check(sent and sent[0].startswith("set 40 05 00 28 "), f"the bar sent {sent}")
    run.check(all(line.startswith("set 40 05 00 26 ") for line in sent[1:]) and len(sent) == 3,
              f"the current level was not written again: {sent}")
    run.check(not run.window.shows("1200", role=None), "level 3 still shows 1200")


def xdotool(*arguments):
    subprocess.run(["xdotool", *arguments], check=True, timeout=10)


def click_control(run, control):
    x, y = run.window.centre(control)
    xdotool("mousemove", str(x), str(y), "click", "1")


def a_recorded_macro_goes_into_the_mouse_and_onto_a_button(run):
    """A new library macro, recorded from keys typed on the X keyboard, added to the mouse and
    bound to button 8 through the menus."""
    page_button = run.text("Str014")
    run.window.press(page_button)
    run.window.click(run.text("Str432"))  # New Macro: the name dialog takes the keyboard
    time.sleep(0.5)
    xdotool("type", "--delay", "50", "Combo")
    xdotool("key", "Return")
    click_control(run, run.window.find("Combo", role=None))
    run.window.click(run.text("Str400"))  # Record
    time.sleep(0.3)
    xdotool("key", "--delay", "80", "a", "b")
    time.sleep(0.3)
    run.window.click(run.text("Str401"))  # Stop
    library = open(run.window.library, "rb").read()
    run.check(len(library) == 27200, f"the library file is {len(library)} bytes")
    name = "Combo".encode("utf-16-be")
    run.check(name in library, "the macro's name is not in the library file")
    # Presses and releases of A and B (usages 04 and 05) are stored in the macro's body.
    body_at = library.index(name)
    slot = library[body_at:body_at + 272]
    for step in ((0x82, 0x04), (0x02, 0x04), (0x82, 0x05), (0x02, 0x05)):
        run.check(bytes(step) in slot, f"the step {bytes(step).hex()} is not in the macro")

    before = run.window.trace_lines()
    run.window.click(run.text("Str434"))  # Add to Mouse
    lines = run.window.wait_for_quiet_trace(quiet=0.5)
    sent = lines[len(before):]
    run.check(any(line.startswith("set 40 07 02 ") for line in sent),
              f"Add to Mouse did not write the macro memory: {sent[:4]}")

    run.window.press(run.text("Str004"))
    run.window.wait_for_quiet_trace(quiet=0.5)
    before = run.window.trace_lines()
    pages = {run.window.centre(c) for c in run.window.controls(page_button)}
    run.window.click("Button 8")

    def the_macro_item():
        items = [c for c in run.window.controls(run.text("Str206")) if run.window.centre(c) not in pages]
        return items[0] if items else None
    click_control(run, drive.wait_until("the Macro menu item", the_macro_item, 10))
    click_control(run, run.window.find("Combo", role=None))
    lines = run.window.wait_for_quiet_trace(quiet=0.5)
    sent = lines[len(before):]
    # Slot 8 of Main Control (profile bytes 28..31) plays the macro: class 10 and its address.
    run.check(len(sent) == 1 and sent[0].startswith("set 40 05 01 1C 10 02 "),
              f"binding the macro sent {sent}")


def advanced_sends_nothing(run):
    before = run.window.trace_lines()
    run.window.press(run.text("Str007"))
    run.window.find("Report rate 1000 Hz", role=None)
    run.trace_is_unchanged(before, "opening the Advanced page")


def the_language_switch_shows_russian(run):
    before = run.window.trace_lines()
    run.window.press(run.text("Str012"))
    run.language = 2
    for key in ("Str007", "Str003", "Str004"):
        run.window.find(run.text(key))
    run.check(not run.window.shows(run.text("Str003", 1)), "an English Exit is still on show")
    # The page stays where it was.
    run.window.find("Report rate 1000 Hz", role=None)
    run.trace_is_unchanged(before, "the language switch")


def the_main_layer_is_written(run):
    before = run.window.trace_lines()
    run.window.press(run.text("Str004"))
    run.window.wait_for_trace_line(MAIN_LAYER_WRITE, 10, after=len(before))
    lines = run.window.wait_for_quiet_trace(quiet=0.5)
    run.check(lines[len(before):] == [MAIN_LAYER_WRITE],
              f"Main Control sent {lines[len(before):]}")


def the_colour_key_is_cut_out(run):
    x, y, width, height = run.window.frame_extents()
    run.check((width, height) == (800, 600), f"the window is {width} x {height}")
    skin = drive.read_picture(
        os.path.join(run.resources, "skin", f"L{run.language}_BackGround.png"))
    cut = [(px, py) for py in range(skin[1]) for px in range(skin[0])
           if drive.pixel(skin, px, py) == drive.COLOUR_KEY]
    run.check(len(cut) > 100, f"the background has only {len(cut)} colour-key pixels")
    shot = drive.screenshot(os.path.join(run.folder, "window.png"))
    maroon = [p for p in cut if drive.pixel(shot, x + p[0], y + p[1]) == drive.COLOUR_KEY]
    run.check(not maroon, f"{len(maroon)} of {len(cut)} colour-key pixels are on show, "
              f"e.g. {maroon[:3]}")
    # The screen is black (-br): what is cut out shows it.
    root = [p for p in cut if drive.pixel(shot, x + p[0], y + p[1]) != (0, 0, 0)]
    run.check(not root, f"{len(root)} cut-out pixels do not show the screen, e.g. {root[:3]}")
    # And the window itself is there: its opaque part is not the screen's black.
    inside = [(px, py) for (px, py) in ((400, 300), (200, 150), (600, 450))
              if drive.pixel(shot, x + px, y + py) != (0, 0, 0)]
    run.check(inside, "the window's inside shows only the screen")


def exit_ends_the_program(run):
    before = run.window.trace_lines()
    run.window.click(run.text("Str003"))
    status = run.window.wait_for_exit(15)
    run.check(status == 0, f"corvid88 ended with {status}:\n{run.window.output()}")
    after = run.window.trace_lines()
    run.check(after == before, f"closing sent {after[len(before):]}")
    run.check(os.path.getsize(run.window.state) > 0, "the stand-in mouse's state was not saved")


STEPS = [
    the_mouse_is_found_and_read,
    middle_key_through_the_menus,
    a_recorded_macro_goes_into_the_mouse_and_onto_a_button,
    advanced_sends_nothing,
    dpi_level_3_to_1600_by_its_bar,
    the_language_switch_shows_russian,
    the_main_layer_is_written,
    the_colour_key_is_cut_out,
    exit_ends_the_program,
]


def main():
    if len(sys.argv) != 4:
        print(__doc__)
        return 2
    program, resources, folder = sys.argv[1:]
    # A fresh folder: the trace of an earlier run would be appended to.
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    run = Run(program, resources, folder)
    failed = None
    try:
        for step in STEPS:
            started = time.monotonic()
            step(run)
            print(f"ok   {step.__name__} ({time.monotonic() - started:.1f} s)", flush=True)
    except Exception as error:  # a step's failure or the tree's: either fails the test
        failed = f"FAIL {step.__name__}: {error}"
    finally:
        run.window.close()
    if failed:
        print(failed, flush=True)
        print(f"the window's output:\n{run.window.output()}", flush=True)
        print(f"the trace's last lines: {run.window.trace_lines()[-5:]}", flush=True)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
