"""Takes the pictures of docs/screenshots: every page of the window in the three languages,
against a stand-in mouse whose layers can all be opened.

    tests/e2e/run-under-xvfb screenshots.py build/src/app/corvid88 resources docs/screenshots

CORVID88CTL (default: corvid88ctl beside the build's src/app) prepares the stand-in mouse.
"""

import os
import shutil
import subprocess
import sys
import time

import window_driver as drive

# Page button key, file name.
PAGES = [("Str004", "main"), ("Str005", "alternate"), ("Str006", "reset"),
         ("Str007", "advanced"), ("Str008", "breathing"), ("Str014", "macro"),
         ("Str015", "update")]


def prepare_mouse(ctl, folder):
    """A state file of the stand-in mouse with a KB switch key and a KB reset key."""
    state = os.path.join(folder, "mouse.state")  # where drive.Window looks for it
    library = os.path.join(folder, "Corvid88-Macro.bin")
    for args in (["button", "main", "5", "KB Switch Key"],
                 ["layer", "switch"], ["button", "switch", "6", "KB Reset Key"],
                 ["layer", "main"]):
        subprocess.run([ctl, "--sim-state", state, "--library", library, *args], check=True,
                       timeout=60, capture_output=True)
    return state


def main():
    program, resources, out = sys.argv[1:4]
    ctl = os.environ.get("CORVID88CTL",
                         os.path.join(os.path.dirname(program), "..", "..", "corvid88ctl"))
    os.makedirs(out, exist_ok=True)
    work = os.path.join(out, ".work")
    shutil.rmtree(work, ignore_errors=True)
    for language in (1, 2, 3):
        texts = drive.language_texts(resources, language)
        folder = os.path.join(work, f"lang{language}")
        os.makedirs(folder, exist_ok=True)
        prepare_mouse(ctl, folder)
        window = drive.Window(program, folder, ["--lang", str(language)])
        try:
            window.attach()
            window.wait_for_mouse()
            # The pointer out of the way: no hover looks.
            subprocess.run(["xdotool", "mousemove", "1020", "760"], check=True, timeout=10)
            for key, name in PAGES:
                if not window.shows(texts[key]):
                    # Update is offered only by a mouse with Flash storage (not this build's).
                    print(f"no page button {texts[key]!r}: no picture of {name}", flush=True)
                    continue
                window.press(texts[key])
                time.sleep(0.8)
                x, y, width, height = window.frame_extents()
                raw = os.path.join(folder, f"{name}.png")
                drive.screenshot(raw)
                target = os.path.join(out, f"{name}-lang{language}.png")
                subprocess.run(["convert", raw, "-crop", f"{width}x{height}+{x}+{y}", "+repage",
                                "-dither", "None", "-colors", "192", "-strip",
                                "-define", "png:compression-level=9", target],
                               check=True, timeout=60)
                print(target, flush=True)
        finally:
            window.close()
    shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
