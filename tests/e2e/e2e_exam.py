#!/usr/bin/python3
"""End-to-end run of the real program, driven from outside as a user would.

In a fresh folder whose examiner's password has been set on the command line (standard input),
the question editor asks for it ("Отмена" keeps it shut, the password opens it), the program
writes three questions in the question editor, sets up a
profile in the profile editor, examines one person picked from the staff list loaded with
`razividerur staff import` (two answers right, one wrong; one of them given with the answer's
number key), shows
the result window, writes the day file of the archive, finds the exam in the results journal
by part of the surname and saves its protocol as PDF from the print preview (with the examinee's
department from the staff list), and shows that
day in the archive viewer. Then the journal file is deleted while the program runs, and the
next exam is found, after a restart of the program, in a journal made anew with all its answer rows. The day starts from a prepared day file with two earlier
examinees, a gap between them and a line deleted by hand: the program reports the damaged
file and its copy, the exam fills the gap, and both earlier examinees are still in the day
file afterwards. The test checks what the windows show (read through the accessibility
tree), the day file on disk byte for byte and the text of the protocol PDF.

Run: e2e_exam.py --program <path of razividerur> [--keep] [--save-shots DIR]
The script starts its own session bus, screen and accessibility bus, and stops all it started.
"""

import argparse
import datetime
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop import Desktop, Failure, missing_prerequisites, wait_until  # noqa: E402

TIME_LIMIT_S = 300  # the whole run, program start to the last check

# Plain letters: xdotool types them without remapping keys, and a password box shows only dots.
EXAMINER_PASSWORD = "Ekzamen-2026"
TEST_NAME = "Охрана труда на участке"
THEME_TITLE = "Первая помощь"
# (question, correct answer, four wrong answers); every answer text is unique.
QUESTIONS = [
    ("Что сделать первым при поражении током?", "Освободить от действия тока",
     ["Дать воды", "Растереть руки", "Уйти за помощью", "Накрыть одеялом"]),
    ("Как остановить сильное кровотечение?", "Наложить жгут выше раны",
     ["Промыть рану", "Поднять руку и ждать", "Смазать йодом", "Наложить жгут ниже раны"]),
    ("Что делать при ожоге кипятком?", "Охладить ожог водой",
     ["Смазать маслом", "Проколоть пузыри", "Присыпать солью", "Растереть снегом"]),
]
PROFILE_NO = "2"
PROFILE_NAME = "Первая помощь, три вопроса"
TIME_LIMIT = "300"
QUESTION_COUNT = "3"
EXCELLENT, GOOD, FAIR = "3", "2", "1"
EXAMINEE = {
    "Ф.И.О. сдающего": "Петров Пётр Петрович",
    "Год рождения": "1975",
    "Должность": "электромонтёр",
    "Стаж работы": "12",
    "Табельный номер": "А-15",
}
# The examinee's place of work, from the staff list loaded before the run; what is typed into the
# name box to have the staff list offer him.
DEPARTMENT = "Цех 3"
STAFF_TYPED = "Петр"
# Answered right, right, wrong: 2 of 3, which the thresholds above grade 4.
ANSWER_RIGHT = [True, True, False]
# The question answered with the key 1 to 5 instead of a click.
KEY_ANSWERED = 2
EXPECTED_GRADE = 4
# Part of the surname, typed in lower case into the journal's search box.
JOURNAL_SEARCH = "етро"

MONTHS = ["Январь", "Февраль", "Март", "Апрель", "Май", "Июнь", "Июль", "Август", "Сентябрь",
          "Октябрь", "Ноябрь", "Декабрь"]
DAY_LABELS = ["Порядковый номер: ", "Номер профиля: ", "Название теста: ", "Ф.И.О.: ",
              "Год рождения: ", "Профессия: ", "Стаж работы: ", "Оценка за экзамен: ",
              "Количество заданных вопросов: ", "Количество правильных ответов: ",
              "Время затраченое на экзамен, сек.: ", "Табельный номер: "]
NUMERIC_LINES = {0, 1, 4, 6, 7, 8, 9, 10}
SEPARATOR = "*" * 58

GREEN = (0, 255, 0)
RED = (255, 0, 0)


def log(message):
    print(f"[{time.strftime('%H:%M:%S')}] {message}", flush=True)


def day_record_lines(values):
    """The 13 lines of one record of a day file; values are the 12 fields in line order."""
    lines = []
    for k, label in enumerate(DAY_LABELS):
        value = values[k]
        if k in NUMERIC_LINES:
            value = f" {value}" if value >= 0 else str(value)
        lines.append(label + value)
    lines.append(SEPARATOR)
    return lines


EMPTY_RECORD = [0, 0, "", "", 0, "", 0, 0, 0, 0, 0, ""]
# Two examinees of earlier the same day, in slots 1 and 3; slot 2 is free.
EARLIER = {
    1: [1, 1, "Вводный", "Сидоров Сидор Сидорович", 1968, "сварщик", 20, 5, 3, 3, 40, "Б-7"],
    3: [3, 2, PROFILE_NAME, "Кузнецова Анна Павловна", 1990, "мастер", 4, 3, 3, 1, 75, "В-12"],
}
DELETED_LINE = 5  # the job title line of the first record is deleted by hand
EXAM_SLOT = 2


def expected_day_file(records):
    """The day file of a register given as {slot: 12 values}; all other slots empty."""
    lines = []
    for slot in range(1, 101):
        lines += day_record_lines(records.get(slot, EMPTY_RECORD))
    return "".join(line + "\r\n" for line in lines).encode("cp1251")


def prepare_damaged_day_file(path):
    """Writes the earlier examinees' day file with one line of the first record deleted."""
    lines = expected_day_file(EARLIER).split(b"\r\n")
    del lines[DELETED_LINE]
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(b"\r\n".join(lines))
    with open(path, "rb") as f:
        return f.read()


def earlier_after_repair():
    """The earlier examinees as the program keeps them: the deleted line's value is empty."""
    first = list(EARLIER[1])
    first[DELETED_LINE] = ""
    return {1: first, 3: EARLIER[3]}


def day_file_path(folder, day):
    return os.path.join(folder, str(day.year), MONTHS[day.month - 1], day.strftime("%d.%m.%Y") + ".txt")


def first_difference(expected, actual):
    exp_lines = expected.split(b"\r\n")
    act_lines = actual.split(b"\r\n")
    for n, (e, a) in enumerate(zip(exp_lines, act_lines), start=1):
        if e != a:
            return (f"line {n}: expected {e.decode('cp1251', 'replace')!r}, "
                    f"found {a.decode('cp1251', 'replace')!r}")
    return (f"expected {len(expected)} bytes in {len(exp_lines)} CR LF parts, "
            f"found {len(actual)} bytes in {len(act_lines)}")


class Scenario:
    def __init__(self, desk, folder):
        self.d = desk
        self.folder = folder
        self.app = None
        self.main = None

    # --- small helpers ----------------------------------------------------------------------

    def check(self, condition, message):
        if not condition:
            if not self.d.program_alive():
                message += f" (the program had ended with code {self.d.program.returncode})"
            raise Failure(message)

    def no_message_box(self, after, besides=()):
        """A message box after a save or a start means it was refused or failed: report it."""
        window = self.message_box(besides)
        if window is not None:
            texts = [n.name for n in self.d.find_all(window, "label")]
            raise Failure(f"{after}: a message box appeared: {' / '.join(t for t in texts if t)}")

    def area(self, caption):
        return self.d.wait_for(self.main, "panel", caption, 10, f"work area '{caption}'")

    def box(self, under, name, role="text"):
        node = self.d.find(under, role, name)
        self.check(node is not None, f"control '{name}' ({role}) is not on screen")
        return node

    def database_bytes(self):
        with open(os.path.join(self.folder, "Data.zet"), "rb") as f:
            return f.read()

    # --- the road of one exam ---------------------------------------------------------------

    def start(self):
        self.app = self.d.application("razividerur")
        self.main = wait_until("the main window",
                               lambda: next((w for w in self.app.children
                                             if w is not None and w.roleName == "frame" and w.showing),
                                            None), 30)
        self.d.wait_for(self.main, "menu bar", None, 10, "the menu bar of the main window")
        log(f"main window: {self.main.name!r}")
        (x, y), (w, h) = self.main.position, self.main.size
        self.d.window_box = (x, y, w, h)
        self.check(os.path.isfile(os.path.join(self.folder, "Data.zet")),
                   "the first start did not create Data.zet in the program folder")
        self.d.screenshot("main")

    def acknowledge_repair(self, day_path, original):
        """The program names the damaged day file and the untouched copy it made of it."""
        message = wait_until("the message about the damaged day file", self.message_box, 10)
        text = " ".join(n.name for n in self.d.find_all(message, "label"))
        backup = day_path + ".bak"
        self.check(os.path.basename(backup) in text,
                   f"the start-up message does not name the copy {backup}: {text!r}")
        self.d.click(self.box(message, None, "push button"))
        wait_until("the message box to close", lambda: self.message_box() is None, 5)
        with open(backup, "rb") as f:
            self.check(f.read() == original, f"the copy {backup} differs from the damaged file")
        log(f"damaged day file reported, untouched copy {os.path.basename(backup)}")

    def password_question(self):
        return wait_until("the question for the examiner's password",
                          lambda: self.message_box() if self.message_box() is not None
                          and self.message_box().name == "Пароль экзаменатора" else None, 10)

    def give_password(self, question):
        box = self.d.find(question, "password text") or self.d.find(question, "text")
        self.check(box is not None, "the password question has no text box")
        self.d.click(box)
        self.d._xdotool("type", "--delay", "60", "--", EXAMINER_PASSWORD)
        # A password box does not tell its text; a mistyped one is refused with a message below.
        time.sleep(0.5)
        self.d.click(self.box(question, "ОК", "push button"))
        wait_until("the password question to close", lambda: not question.showing, 5)
        self.no_message_box("giving the examiner's password")

    def open_question_editor(self):
        """The editor asks for the examiner's password: «Отмена» keeps it shut, the password opens it."""
        self.d.menu(self.main, "Настройка", "Редактор")
        question = self.password_question()
        self.d.screenshot("examiner-password")
        self.d.click(self.box(question, "Отмена", "push button"))
        wait_until("the password question to close", lambda: not question.showing, 5)
        time.sleep(0.3)
        self.check(self.d.find(self.main, "panel", "Редактор вопросов") is None,
                   "the question editor opened without the examiner's password")
        self.d.menu(self.main, "Настройка", "Редактор")
        self.give_password(self.password_question())
        log("the question editor asked for the examiner's password and opened with it")

    def write_questions(self):
        self.open_question_editor()
        editor = self.area("Редактор вопросов")
        self.d.fill(self.box(editor, "Название теста:"), TEST_NAME, "the test name box")
        question_list = self.box(editor, "Номер вопроса", "list")
        for n, (question, right, wrong) in enumerate(QUESTIONS, start=1):
            if n > 1:
                self.d.choose_in_list(question_list, str(n), "the question number list")
                wait_until(f"question {n} shown empty",
                           lambda: self.d.text_of(self.box(editor, "Текст вопроса")) == "", 5)
            if n == 1:
                self.d.fill(self.box(editor, "Название темы"), THEME_TITLE, "the theme title box")
            else:
                title = self.d.text_of(self.box(editor, "Название темы"))
                self.check(title == THEME_TITLE, f"question {n} shows the theme title {title!r}, "
                                                 f"saved with question 1 as {THEME_TITLE!r}")
            self.d.fill(self.box(editor, "Текст вопроса"), question, f"question {n}")
            self.d.fill(self.box(editor, "Правильный ответ"), right, f"the right answer of question {n}")
            for k, answer in enumerate(wrong, start=1):
                self.d.fill(self.box(editor, f"Не правильный ответ №{k}"), answer,
                            f"wrong answer {k} of question {n}")
            ticked = [self.box(editor, f"Включен в группу {g}", "check box").checked for g in range(10)]
            self.check(all(ticked), f"question {n}: the group boxes are not all ticked: {ticked}")
            if n == len(QUESTIONS):
                self.d.screenshot("question-editor")
            self.d.click(self.box(editor, "Сохранить", "push button"))
            time.sleep(0.3)
            self.no_message_box(f"saving question {n}")
            wait_until(f"question {n} in Data.zet",
                       lambda: question.encode("cp1251") in self.database_bytes(), 5)
            log(f"question {n} saved")
        self.check(TEST_NAME.encode("cp1251") in self.database_bytes(), "the test name is not in Data.zet")
        self.d.menu(self.main, "Редактор", "Выйти из редактора")
        self.d.wait_gone(self.main, "panel", "Редактор вопросов", 5)

    def set_profile(self):
        self.d.menu(self.main, "Настройки", "Профили")
        editor = self.area("Настройка профиля")
        self.d.choose_in_list(self.box(editor, "Номер профиля", "list"), PROFILE_NO,
                              "the profile number list")
        self.d.fill(self.box(editor, "Наименование профиля:"), PROFILE_NAME, "the profile name box")
        self.d.fill(self.box(editor, "Время на экзамен, в сек."), TIME_LIMIT, "the exam time box")
        self.d.choose_in_list(self.box(editor, "Количество вопросов", "list"), QUESTION_COUNT,
                              "the question count list")
        self.d.choose_in_list(self.box(editor, "Отлично", "list"), EXCELLENT, "the list 'Отлично'")
        self.d.choose_in_list(self.box(editor, "Хорошо", "list"), GOOD, "the list 'Хорошо'")
        self.d.choose_in_list(self.box(editor, "Посредственно", "list"), FAIR, "the list 'Посредственно'")
        for slot in range(1, int(QUESTION_COUNT) + 1):
            themes = self.d.selected_items(self.box(editor, f"Вопрос №{slot}", "list"))
            self.check(themes == ["1"], f"question {slot} of the profile is drawn from theme {themes}, "
                                        "not from theme 1")
        self.d.screenshot("profile-editor")
        self.d.click(self.box(editor, "Сохранить", "push button"))
        time.sleep(0.3)
        self.no_message_box("saving the profile")
        wait_until("the profile name in Data.zet",
                   lambda: PROFILE_NAME.encode("cp1251") in self.database_bytes(), 5)
        log(f"profile {PROFILE_NO} saved")
        self.d.menu(self.main, "Настройка", "Выйти из настройки")
        self.d.wait_gone(self.main, "panel", "Настройка профиля", 5)

    def pick_examinee_from_staff(self, reg):
        """Types the beginning of the name and picks the examinee in the staff list's popup: the
        boxes are filled from the list."""
        name_box = self.box(reg, "Ф.И.О. сдающего")
        self.d.click(name_box)
        self.d._xdotool("type", "--delay", "80", "--", STAFF_TYPED)
        # The popup is a window of its own that the accessibility tree does not list: it is seen
        # on the screenshot, and picking its first row must fill every box as the list says.
        time.sleep(1.0)
        self.d.screenshot("staff-completer")
        self.d.key("Down")
        self.d.key("Return")
        for name, value in EXAMINEE.items():
            wait_until(f"the box '{name}' filled from the staff list with {value!r}",
                       lambda: self.d.text_of(self.box(reg, name)) == value, 5)
        log(f"typing {STAFF_TYPED!r} offered the examinee; picking him filled every box")

    def run_exam(self, from_staff=False):
        self.d.menu(self.main, "Проверка", "Экзамен")
        reg = self.area("Персональные сведенья")
        if from_staff:
            self.pick_examinee_from_staff(reg)
        for name, value in EXAMINEE.items():
            if from_staff:
                break
            self.d.fill(self.box(reg, name), value, f"the box '{name}'")
        self.d.choose_in_list(self.box(reg, "Профиль экзамена", "list"), PROFILE_NO, "the exam profile list")
        wait_until("the chosen profile's name beside the list",
                   lambda: self.d.text_of(self.box(reg, "Название профиля")) == PROFILE_NAME, 5)
        asked = self.d.text_of(self.box(reg, "Количество заданых вопросов"))
        self.check(asked == QUESTION_COUNT, f"the registration area shows {asked!r} questions, "
                                            f"expected {QUESTION_COUNT}")
        self.d.screenshot("registration")

        self.d.click(self.box(reg, "Начать экзамен", "push button"))
        started = time.monotonic()
        self.no_message_box("starting the exam")
        exam = self.area(PROFILE_NAME)
        by_question = {q: (right, wrong) for q, right, wrong in QUESTIONS}
        asked_questions = []
        for n in range(1, int(QUESTION_COUNT) + 1):
            self.d.wait_for(exam, "label", f"Вопрос № {n}", 8, f"the caption 'Вопрос № {n}'")
            question_box = self.box(exam, "Вопрос")
            question = self.d.text_of(question_box)
            self.check(question in by_question, f"question {n} shows {question!r}, not one of ours")
            self.check(question not in asked_questions, f"question {question!r} was asked twice")
            asked_questions.append(question)
            right, wrong = by_question[question]
            answers = {}
            for p in range(1, 6):
                answers[self.d.text_of(self.box(exam, f"Ответ {p}"))] = p
            self.check(sorted(answers) == sorted([right] + wrong),
                       f"question {n}: the answer boxes show {sorted(answers)}, "
                       f"expected {sorted([right] + wrong)}")
            choice = right if ANSWER_RIGHT[n - 1] else wrong[n % 4]
            if n == KEY_ANSWERED:
                # As an examinee without a mouse answers: the key of the answer's number.
                self.d.key(str(answers[choice]))
            else:
                self.d.click(self.box(exam, f"Ответ {answers[choice]}"))
            shot = self.d.screenshot(f"answer-{n}-{'right' if ANSWER_RIGHT[n - 1] else 'wrong'}")
            (x, y), (w, h) = question_box.position, question_box.size
            colour = self.d.pixel(shot, x + w * 3 // 4, y + h - 10)
            expected = GREEN if ANSWER_RIGHT[n - 1] else RED
            self.check(colour == expected, f"question {n}: after the click the question box is {colour}, "
                                           f"expected {expected}")
            log(f"question {n}: {'pressed the key of' if n == KEY_ANSWERED else 'clicked'} "
                f"{'the right' if ANSWER_RIGHT[n - 1] else 'a wrong'} answer")

        result = wait_until("the result window 'Результат'",
                            lambda: next((w for w in self.app.children
                                          if w is not None and w.name == "Результат" and w.showing), None),
                            8)
        elapsed = time.monotonic() - started
        return result, elapsed

    def check_result_window(self, result, elapsed):
        def value(name):
            node = self.d.find(result, None, name)
            self.check(node is not None, f"the result window has no box '{name}'")
            return self.d.text_of(node)

        wait_until("the result window filled", lambda: value("Ф.И.О. сдающего") != "", 5)
        time_spent = value("Затраченное время, сек.")
        self.check(time_spent.isdigit(), f"the result window shows the time {time_spent!r}")
        seconds = int(time_spent)
        # Three pauses of 2 s lie inside the exam; the clock ticks once a second.
        self.check(5 <= seconds <= elapsed + 2,
                   f"the exam took {elapsed:.1f} s by the test's clock, the program counted {seconds} s")
        expected = {
            "Порядковый номер": str(EXAM_SLOT),
            "Тема теста": TEST_NAME,
            "Профиль": PROFILE_NAME,
            "Ф.И.О. сдающего": EXAMINEE["Ф.И.О. сдающего"],
            "Оценка": str(EXPECTED_GRADE),
            "Количество заданных вопросов": QUESTION_COUNT,
            "Количество правильных ответов": str(ANSWER_RIGHT.count(True)),
        }
        wrong = {k: (v, value(k)) for k, v in expected.items() if value(k) != v}
        self.check(not wrong, "the result window shows "
                   + "; ".join(f"'{k}' = {got!r} instead of {want!r}" for k, (want, got) in wrong.items()))
        self.d.screenshot("result")
        log(f"result window as expected, time spent {seconds} s")
        return seconds

    def check_day_file(self, days, seconds):
        paths = {day: day_file_path(self.folder, day) for day in days}
        existing = [day for day, p in paths.items() if os.path.isfile(p)]
        self.check(existing, f"no day file: looked for {', '.join(sorted(set(paths.values())))}")
        day = existing[0]
        path = paths[day]
        record = [EXAM_SLOT, int(PROFILE_NO), PROFILE_NAME, EXAMINEE["Ф.И.О. сдающего"],
                  int(EXAMINEE["Год рождения"]), EXAMINEE["Должность"], int(EXAMINEE["Стаж работы"]),
                  EXPECTED_GRADE, int(QUESTION_COUNT), ANSWER_RIGHT.count(True), seconds,
                  EXAMINEE["Табельный номер"]]
        expected = expected_day_file({**earlier_after_repair(), EXAM_SLOT: record})
        with open(path, "rb") as f:
            actual = f.read()
        if actual != expected:
            raise Failure(f"day file {path} differs: {first_difference(expected, actual)}")
        log(f"day file {os.path.relpath(path, self.folder)}: {len(actual)} bytes, 1300 lines, as expected; "
            f"the earlier examinees in slots {', '.join(map(str, sorted(EARLIER)))} are still there")
        return record, day

    def leave_result(self, result):
        self.d.click(self.box(result, "Выход", "push button"))
        wait_until("the result window to close", lambda: not result.showing, 5)
        # Back in the main mode: the exam item is offered again.
        self.d.menu(self.main, "Проверка", "Экзамен")
        shown = self.d.text_of(self.box(self.area("Персональные сведенья"), "Номер протокола"))
        self.check(shown == "4", f"the next examinee's number is {shown!r}, expected 4 (3 is taken)")
        self.d.menu(self.main, "Проверка", "Выход")
        self.d.wait_gone(self.main, "panel", "Персональные сведенья", 5)

    def window(self, name, timeout, what=None):
        """A top-level window of the program by its caption."""
        return wait_until(what or f"the window '{name}'",
                          lambda: next((w for w in self.app.children
                                        if w is not None and w.name == name and w.showing), None),
                          timeout)

    def protocol_from_journal(self, workdir):
        """Finds the exam in the journal by part of the name and saves its protocol as PDF."""
        self.d.menu(self.main, "Проверка", "Журнал результатов")
        # The exam start has ended the trust in the password.
        self.give_password(self.password_question())
        journal = self.window("Журнал результатов", 10)
        self.no_message_box("opening the journal")
        # The search box is the journal's only plain text box (the dates are spin boxes).
        boxes = self.d.find_all(journal, "text")
        self.check(len(boxes) == 1, f"the journal shows {len(boxes)} text boxes, expected the search box "
                                    f"alone: {[(b.name, b.description) for b in boxes]}")
        search = boxes[0]
        full_name = EXAMINEE["Ф.И.О. сдающего"]
        others = [record[3] for record in EARLIER.values()]

        def found():
            counted = self.d.find(journal, "label", lambda n: n.startswith("Найдено экзаменов:"))
            return int(counted.name.split(":")[1].split()[0]) if counted is not None else None

        # Unfiltered, the journal lists today's earlier examinees too (taken from the day file).
        everything = wait_until("the journal's count of exams", found, 10)
        self.check(everything == 1 + len(EARLIER) and all(self.d.find(journal, "table cell", n) for n in others),
                   f"before the search the journal counts {everything} exams, expected {1 + len(EARLIER)} "
                   f"with rows of {others}")
        self.d.fill(search, JOURNAL_SEARCH, "the journal's search box")

        def filtered():
            return found() == 1 and self.d.find(journal, "table cell", full_name) is not None \
                and not any(self.d.find(journal, "table cell", n) for n in others)

        try:
            wait_until(f"the journal listing the exam after typing {JOURNAL_SEARCH!r}", filtered, 10)
        except Failure:
            counted = [n.name for n in self.d.find_all(journal, "label",
                                                       lambda n: n.startswith("Найдено"))]
            raise Failure(f"after typing {JOURNAL_SEARCH!r} the journal shows {counted} and "
                          f"{'a' if self.d.find(journal, 'table cell', full_name) else 'no'} "
                          f"row of {full_name!r}") from None
        self.d.screenshot("journal-found")
        log(f"journal: typing {JOURNAL_SEARCH!r} leaves the one exam of {full_name}")

        self.d.click(self.box(journal, "Протокол…", "push button"))
        # The preview's title carries the protocol's number from the journal and what it covers.
        def is_preview(name):
            return name.startswith("Протокол проверки знаний № ") and \
                name.endswith("(все найденные: 1) — предварительный просмотр")

        def question_or_preview():
            box = self.message_box()
            if box is not None and not is_preview(box.name):
                return box
            return next((w for w in self.app.children
                         if w is not None and is_preview(w.name) and w.showing), None)

        shown = wait_until("the commission question or the protocol preview", question_or_preview, 10)
        if not is_preview(shown.name):
            texts = [n.name for n in self.d.find_all(shown, "label")]
            self.check(any(t.startswith("Организация и комиссия ещё не заданы") for t in texts),
                       f"'Протокол…' asked {texts}, expected the question about the commission")
            # Without a commission the protocol keeps blank places for it: good enough here.
            self.d.click(self.box(shown, "Нет", "push button"))
            log("the commission is not set: answered 'Нет', the protocol keeps blanks for it")
        preview = wait_until("the protocol preview, numbered, of the one exam found",
                             lambda: next((w for w in self.app.children
                                           if w is not None and is_preview(w.name) and w.showing), None), 10)
        log(f"protocol preview: {preview.name!r}")
        save = self.d.wait_for(preview, None, "Сохранить в PDF…", 10, "the button 'Сохранить в PDF…'")
        self.d.screenshot("protocol-preview")
        self.d.click(save)

        dialog = self.window("Сохранить протокол", 10, "the file dialog 'Сохранить протокол'")
        file_box = wait_until("the file name box of the file dialog (it has the focus)",
                              lambda: next((b for b in self.d.find_all(dialog, "text") if b.focused), None), 5)
        pdf_path = os.path.join(workdir, "protocol", "protocol.pdf")
        os.makedirs(os.path.dirname(pdf_path), exist_ok=True)
        self.d.fill(file_box, pdf_path, "the file name box of the file dialog")
        self.d.key("Return")
        wait_until("the file dialog to close", lambda: not dialog.showing, 5)

        def written():
            if not os.path.isfile(pdf_path):
                return False
            size = os.path.getsize(pdf_path)
            time.sleep(0.2)
            return size > 0 and size == os.path.getsize(pdf_path)

        try:
            wait_until(f"the protocol PDF {pdf_path}", written, 10)
        except Failure:
            self.no_message_box("saving the protocol", (preview.name,))
            raise
        self.no_message_box("saving the protocol", (preview.name,))
        converted = subprocess.run(["pdftotext", "-layout", pdf_path, "-"], capture_output=True, text=True,
                                   timeout=30)
        self.check(converted.returncode == 0, f"pdftotext could not read {pdf_path}: {converted.stderr.strip()}")
        text = converted.stdout
        self.check("ПРОТОКОЛ ПРОВЕРКИ ЗНАНИЙ" in text, f"the PDF has no heading; it reads {text[:300]!r}")
        rows = [line for line in text.splitlines() if EXAMINEE["Табельный номер"] in line]
        self.check(len(rows) == 1, f"the PDF has {len(rows)} lines with the personnel number "
                                   f"{EXAMINEE['Табельный номер']!r}, expected one: {text!r}")
        row = rows[0].split()
        self.check(full_name in " ".join(row),
                   f"the examinee's row of the PDF reads {rows[0].strip()!r}, expected the name {full_name!r}")
        self.check(DEPARTMENT in rows[0],
                   f"the examinee's row of the PDF reads {rows[0].strip()!r}, expected the department {DEPARTMENT!r}")
        cells = row[row.index(EXAMINEE["Табельный номер"]) + 1:]
        self.check(cells[:1] == [str(EXPECTED_GRADE)] and cells[-1:] == ["сдал"] and "не" not in cells,
                   f"the examinee's row of the PDF reads {rows[0].strip()!r}, expected the grade "
                   f"{EXPECTED_GRADE} and 'сдал' after the personnel number")
        log(f"protocol PDF: {os.path.getsize(pdf_path)} bytes, names {full_name} with grade {EXPECTED_GRADE}")

        self.d.key("Escape")
        wait_until("the protocol preview to close", lambda: not preview.showing, 5)
        self.d.click(self.box(journal, "Выход", "push button"))
        wait_until("the journal window to close", lambda: not journal.showing, 5)
        log("protocol preview and journal window closed")

    def message_box(self, besides=()):
        for window in self.app.children:
            if window is not None and window.roleName in ("alert", "dialog") and window.showing \
                    and window.name != "Результат" and window.name not in besides:
                return window
        return None

    def day_cell(self, viewer, day):
        """The calendar's cell of a day of the month shown (not a grey day of a month beside it)."""
        cells = self.d.find_all(viewer, "table cell", str(day))
        self.check(cells, f"the calendar shows no day {day}")
        # The first row may begin with the end of the month before, the last rows hold the
        # beginning of the month after.
        return cells[0] if day <= 14 else cells[-1]

    def check_archive(self, record, record_day):
        self.d.menu(self.main, "Проверка", "Результаты")
        viewer = self.area("Архив результатов тестирования")
        self.no_message_box("opening the archive")
        text_box = self.box(viewer, "Результаты тестирования за день")
        # The viewer shows the records up to the first empty one: slots 1 to 3.
        records = {**earlier_after_repair(), EXAM_SLOT: record}
        want = [line for slot in sorted(records) for line in day_record_lines(records[slot])]

        def shown_lines():
            lines = self.d.text_of(text_box).split("\n")
            while lines and lines[-1] == "":
                lines.pop()
            return lines

        def expect_record(when):
            try:
                wait_until(f"the day's record in the archive viewer {when}", lambda: shown_lines() == want, 5)
            except Failure:
                raise Failure(f"{when} the archive viewer shows {shown_lines()}, expected {want}") from None

        expect_record("on opening")
        self.d.screenshot("archive")
        log("archive viewer opens on today and shows the three records of the day")

        # Another day of the month has no file: a message, and the text stays.
        today = record_day
        other = today.day - 1 if today.day > 1 else today.day + 1
        self.d.click(self.day_cell(viewer, other))
        message = wait_until("a message box after picking a day without results", self.message_box, 5)
        texts = [n.name for n in self.d.find_all(message, "label")]
        self.check("Данные за этот день отсутствуют" in texts,
                   f"picking day {other} without results shows the message {texts}")
        self.d.screenshot("archive-no-data")
        self.d.click(self.box(message, None, "push button"))
        wait_until("the message box to close", lambda: self.message_box() is None, 5)
        expect_record(f"after picking day {other}, which has no results,")
        # Picking today again reads the file again.
        self.d.click(self.day_cell(viewer, today.day))
        time.sleep(0.3)
        self.no_message_box(f"picking today ({today.day})")
        expect_record("after picking today in the calendar")
        log("calendar: a day without results shows the message, today shows the record")
        self.d.menu(self.main, "Проверка", "Выход")
        self.d.wait_gone(self.main, "panel", "Архив результатов тестирования", 5)

    def exam_after_journal_deleted(self):
        """The journal file is deleted while the program runs: the examiner is told, and the next
        exam goes into a journal made anew (checked by check_journal_file after the exit)."""
        journal = os.path.join(self.folder, "journal.sqlite")
        self.check(os.path.isfile(journal), "no journal.sqlite after the first exam")
        os.remove(journal)
        result, _ = self.run_exam()
        message = wait_until("the message about the journal made anew", self.message_box, 10)
        text = " ".join(n.name for n in self.d.find_all(message, "label"))
        self.check("был удалён" in text and "journal.sqlite" in text,
                   f"after the journal was deleted the message reads {text!r}")
        self.d.click(self.box(message, None, "push button"))
        wait_until("the message box to close", lambda: self.message_box() is None, 5)
        self.d.click(self.box(result, "Выход", "push button"))
        wait_until("the result window to close", lambda: not result.showing, 5)
        log("journal deleted while running: told, and the next exam was taken")

    def restart(self, executable):
        """The program started again on the same folder adds the day file's exams the journal
        lacks (those of the deleted journal, without answers), and is closed again."""
        import sqlite3
        self.d.start_program(executable)
        self.start()
        self.no_message_box("the start after the journal was made anew")

        def exams():
            with sqlite3.connect(os.path.join(self.folder, "journal.sqlite")) as db:
                return db.execute("SELECT count(*) FROM exams").fetchone()[0]

        # Two earlier examinees and the exam of the deleted journal, beside the exam after it.
        wait_until("the day file's exams in the journal", lambda: exams() == 4, 20)
        self.exit_program()
        log("program started again: the day file's exams added to the journal")

    def check_journal_file(self):
        import sqlite3
        path = os.path.join(self.folder, "journal.sqlite")
        self.check(os.path.isfile(path), "no journal.sqlite after the exam that followed its deletion")
        with sqlite3.connect(path) as db:
            rows = db.execute("SELECT e.full_name, count(a.position) FROM exams e "
                              "LEFT JOIN answers a ON a.exam_id = e.id WHERE e.imported = 0 "
                              "GROUP BY e.id").fetchall()
            twice = db.execute("SELECT protocol_no FROM exams GROUP BY workstation, exam_date, protocol_no "
                               "HAVING count(*) > 1").fetchall()
        self.check(rows == [(EXAMINEE["Ф.И.О. сдающего"], int(QUESTION_COUNT))],
                   f"the journal made anew holds the exams {rows}, expected the one exam with "
                   f"{QUESTION_COUNT} answer rows")
        self.check(not twice, f"the journal holds the exams of protocol numbers {twice} twice")
        log(f"journal made anew holds the exam with its {QUESTION_COUNT} answer rows")

    def exit_program(self):
        self.d.expect_program_end()
        self.d.menu(self.main, "Меню", "Выход из программы", closes_program=True)
        try:
            code = self.d.program.wait(timeout=10)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end within 10 s after 'Выход из программы'") from None
        self.check(code == 0, f"the program ended with code {code}")
        log("program ended by 'Выход из программы'")


def load_staff_list(executable, folder, workdir):
    """The HR department's list (Windows-1251 CSV with ';') loaded with `razividerur staff import`."""
    hired = datetime.date.today() - datetime.timedelta(days=int(EXAMINEE["Стаж работы"]) * 366 + 30)
    rows = ["Табельный номер;ФИО;Должность;Подразделение;Дата рождения;Дата приёма",
            f'{EXAMINEE["Табельный номер"]};{EXAMINEE["Ф.И.О. сдающего"]};{EXAMINEE["Должность"]};{DEPARTMENT};'
            f'05.05.{EXAMINEE["Год рождения"]};{hired.strftime("%d.%m.%Y")}',
            "Б-3;Сидоров Сидор Сидорович;сварщик;Цех 1;01.01.1968;01.02.2000"]
    path = os.path.join(workdir, "staff.csv")
    with open(path, "wb") as f:
        f.write("\r\n".join(rows).encode("cp1251") + b"\r\n")
    # The password is set: a command that changes data asks for it.
    loaded = subprocess.run([executable, "staff", "import", path, "--folder", folder, "--password-stdin"],
                            capture_output=True,
                            input=f"{EXAMINER_PASSWORD}\n", text=True, timeout=30)
    if loaded.returncode != 0:
        raise Failure(f"staff import: code {loaded.returncode}, {loaded.stderr.strip()!r}")
    log(f"staff list of {len(rows) - 1} people loaded with 'staff import'")


def run(args):
    workdir = tempfile.mkdtemp(prefix="zet-e2e-")
    folder = os.path.join(workdir, "program")
    os.makedirs(folder)
    executable = os.path.join(folder, "razividerur")
    shutil.copy2(args.program, executable)  # a copy: the program's folder is where it really lies
    # The journal window and the protocol come from the library the program finds beside itself.
    library = os.path.join(os.path.dirname(args.program), "razividerur-paperwork.so")
    shutil.copy2(library, os.path.join(folder, "razividerur-paperwork.so"))
    log(f"program folder {folder}")

    desk = Desktop(workdir, log)
    ok = False
    t0 = time.monotonic()

    def timeout_handler(signum, frame):
        raise Failure(f"the run took longer than {TIME_LIMIT_S} s")

    signal.signal(signal.SIGALRM, timeout_handler)
    signal.alarm(TIME_LIMIT_S)
    try:
        desk.start_screen()
        desk.start_accessibility_bus()
        day_before = datetime.date.today()
        damaged = day_file_path(folder, day_before)
        original = prepare_damaged_day_file(damaged)
        setting = subprocess.run([executable, "examiner", "password", "--folder", folder],
                                 input=f"{EXAMINER_PASSWORD}\n{EXAMINER_PASSWORD}\n", capture_output=True,
                                 text=True, timeout=30)
        if setting.returncode != 0 or not os.path.isfile(os.path.join(folder, "access.ini")):
            raise Failure(f"examiner password: code {setting.returncode}, {setting.stderr.strip()!r}")
        log("examiner's password set through standard input")
        load_staff_list(executable, folder, workdir)
        desk.start_program(executable)
        desk.connect_tree()
        s = Scenario(desk, folder)
        s.start()
        s.acknowledge_repair(damaged, original)
        day_after = datetime.date.today()
        s.write_questions()
        s.set_profile()
        result, elapsed = s.run_exam(from_staff=True)
        seconds = s.check_result_window(result, elapsed)
        record, record_day = s.check_day_file([day_before, day_after], seconds)
        s.leave_result(result)
        s.protocol_from_journal(workdir)
        if datetime.date.today() != record_day:
            raise Failure("the day changed during the run; the archive viewer opens on the new day: "
                          "run again")
        s.check_archive(record, record_day)
        s.exam_after_journal_deleted()
        s.exit_program()
        s.restart(executable)
        s.check_journal_file()
        ok = True
    except Failure as failure:
        log(f"FAILED: {failure}")
        if desk.display and desk.program_alive():
            desk.screenshot("failure")
    except Exception as error:
        if desk.program is not None and not desk.program_alive():
            where = traceback.extract_tb(error.__traceback__)
            steps = [f.name for f in where if f.filename == os.path.abspath(__file__) and f.name != "run"]
            step = steps[0] if steps else "?"
            log(f"FAILED: the program ended with code {desk.program.returncode} during the step "
                f"'{step}' ({type(error).__name__}: {error})")
        else:
            log("FAILED with an error in the test itself:")
            traceback.print_exc()
        if desk.display and desk.program_alive():
            desk.screenshot("failure")
    finally:
        signal.alarm(0)
        if desk.program is not None and desk.program.poll() not in (None, 0):
            log(f"the program ended with code {desk.program.returncode}; its output:")
            with open(os.path.join(workdir, "program.log"), "rb") as f:
                sys.stdout.write(f.read().decode("utf-8", "replace")[-4000:])
        desk.stop()

    if args.save_shots:
        # Cut to the main window: the screen around it is empty.
        os.makedirs(args.save_shots, exist_ok=True)
        for name in sorted(os.listdir(desk.shots)):
            source = os.path.join(desk.shots, name)
            target = os.path.join(args.save_shots, name)
            if desk.window_box:
                x, y, w, h = desk.window_box
                subprocess.run(["convert", source, "-crop", f"{w}x{h}+{x}+{y}", "+repage", target],
                               capture_output=True, timeout=30)
            else:
                shutil.copy2(source, target)
    log(f"{'passed' if ok else 'failed'} in {time.monotonic() - t0:.1f} s")
    if ok and not args.keep:
        shutil.rmtree(workdir, ignore_errors=True)
    else:
        log(f"screenshots and logs kept in {workdir}")
    return 0 if ok else 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True, help="the built razividerur executable")
    parser.add_argument("--keep", action="store_true", help="keep the temporary folder after a pass")
    parser.add_argument("--save-shots", help="copy the screenshots into this folder")
    args = parser.parse_args()
    args.program = os.path.abspath(args.program)
    if args.save_shots:
        args.save_shots = os.path.abspath(args.save_shots)

    if not os.access(args.program, os.X_OK):
        log(f"FAILED: no program at {args.program}")
        return 1
    missing = missing_prerequisites()
    if missing:
        log("FAILED: missing " + "; ".join(missing) + " — scripts/install-deps.sh installs them")
        return 1

    if os.environ.get("ZET_E2E_SESSION") != "1":
        # A session bus of our own, gone with us.
        env = dict(os.environ, ZET_E2E_SESSION="1")
        cmd = ["dbus-run-session", "--", sys.executable, os.path.abspath(__file__), "--program", args.program]
        if args.keep:
            cmd.append("--keep")
        if args.save_shots:
            cmd += ["--save-shots", args.save_shots]
        try:
            return subprocess.run(cmd, env=env, timeout=TIME_LIMIT_S + 60).returncode
        except subprocess.TimeoutExpired:
            log("FAILED: the session did not end in time")
            return 1
    return run(args)


if __name__ == "__main__":
    sys.exit(main())
