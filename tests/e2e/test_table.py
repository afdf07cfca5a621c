"""The table of exact command lines: every cases_*.py module contributes its
CASES, and each case runs natively and under Wine."""

import importlib
from pathlib import Path

import pytest

from harness import matches

CASES = []
for _module in sorted(Path(__file__).parent.glob("cases_*.py")):
    CASES += importlib.import_module(_module.stem).CASES


@pytest.mark.parametrize("case", CASES, ids=[case.id for case in CASES])
def test_table(runner, case):
    if runner.name not in case.platforms:
        pytest.skip(f"not on {runner.name}")
    result = runner.run(case.tool, case.tail)
    assert matches(runner.expect(case.stdout), result.stdout), result.stdout
    assert result.status == case.status, result.stderr
    if case.failure is not None:
        assert result.stderr.decode(errors="replace").strip() == f"{case.tool}: run-time error: {case.failure}"
    if case.says is not None:
        assert result.stderr.decode(errors="replace").strip() == f"{case.tool}: {case.says}"
