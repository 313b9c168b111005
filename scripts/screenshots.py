#!/usr/bin/python3
"""Screenshots of the program on common screens, under openbox as on a real desktop.

For each screen (1024x600, 1366x768, 1920x1080 and 1920x1080 at QT_SCALE_FACTOR=1.5) the
program starts in a fresh folder with the sample database, and the main window, a running exam
and both editors are taken from the whole screen. The shots are written as
<out>/<screen>-<what>.png, reduced to 256 colours.

Run: scripts/screenshots.py --program build/src/razividerur --sample build/examples/Образец.zet
     [--out DIR]
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from desktop import Desktop, Failure, wait_until  # noqa: E402

SCREENS = [("1024x600", None), ("1366x768", None), ("1920x1080", None), ("1920x1080", 1.5)]


def log(message):
    print(f"[{time.strftime('%H:%M:%S')}] {message}", flush=True)


def shoot(d, out, name):
    path = os.path.join(out, name + ".png")
    subprocess.run(["import", "-window", "root", "-colors", "256", "PNG8:" + path], check=True, timeout=60)
    log(f"  {path}")


def take(program, sample, size, scale, out):
    name = size + (f"-scale{scale}" if scale else "")
    workdir = tempfile.mkdtemp(prefix="zet-shots-")
    folder = os.path.join(workdir, "prog")
    os.makedirs(folder)
    shutil.copy(sample, os.path.join(folder, "Data.zet"))
    os.chmod(os.path.join(folder, "Data.zet"), 0o644)
    d = Desktop(workdir, log)
    try:
        d.start_screen(size)
        d.start_accessibility_bus()
        d.start_window_manager()
        d.start_program(program, ["--folder", folder], scale)
        if scale:
            # The accessibility tree gives places in the program's own (unscaled) pixels.
            unscaled = d.centre
            d.centre = lambda node: tuple(round(v * float(scale)) for v in unscaled(node))
        d.connect_tree()
        app = d.application("razividerur")
        main = wait_until("the main window",
                          lambda: next((w for w in app.children
                                        if w is not None and w.roleName == "frame" and w.showing), None), 30)
        d.wait_for(main, "menu bar", None, 10, "the menu bar")
        time.sleep(1)
        shoot(d, out, f"{name}-main")

        d.menu(main, "Настройка", "Редактор")
        d.wait_for(main, "panel", "Редактор вопросов", 10)
        time.sleep(0.5)
        shoot(d, out, f"{name}-questions")
        d.menu(main, "Редактор", "Выйти из редактора")
        d.menu(main, "Настройки", "Профили")
        d.wait_for(main, "panel", "Настройка профиля", 10)
        time.sleep(0.5)
        shoot(d, out, f"{name}-profiles")
        d.menu(main, "Настройка", "Выйти из настройки")

        d.menu(main, "Проверка", "Экзамен")
        reg = d.wait_for(main, "panel", "Персональные сведенья", 10)
        d.click(d.find(reg, "push button", "Начать экзамен"))
        d.wait_for(main, "label", "Вопрос № 1", 10)
        time.sleep(0.5)
        shoot(d, out, f"{name}-exam")
    finally:
        d.expect_program_end()
        d.stop()
        shutil.rmtree(workdir, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--sample", required=True)
    parser.add_argument("--out", default="screenshots")
    parser.add_argument("--screen", help=argparse.SUPPRESS)  # one screen, inside its own session
    parser.add_argument("--scale", help=argparse.SUPPRESS)
    args = parser.parse_args()
    program = os.path.abspath(args.program)
    sample = os.path.abspath(args.sample)
    out = os.path.abspath(args.out)
    os.makedirs(out, exist_ok=True)
    if args.screen:
        try:
            take(program, sample, args.screen, args.scale, out)
        except Failure as error:
            log(f"  failed: {error}")
            return 1
        return 0
    # Each screen in a session bus of its own: the accessibility tree does not outlive its bus.
    for size, scale in SCREENS:
        log(f"screen {size}" + (f" at scale {scale}" if scale else ""))
        cmd = ["dbus-run-session", "--", sys.executable, os.path.abspath(__file__), "--program", program,
               "--sample", sample, "--out", out, "--screen", size]
        if scale:
            cmd += ["--scale", str(scale)]
        if subprocess.run(cmd, timeout=300).returncode != 0:
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
