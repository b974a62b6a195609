"""Boards and axes through the Pythonic layer, on the simulated driver."""
import pytest

import varndasqv
from varndasqv import Signals


def test_boards_are_listed_by_device_id_with_instances(sim):
    sim.configure("A504,A502,A504")
    boards = varndasqv.list_boards()
    assert [(b.device_id, b.instance, b.axes) for b in boards] == [
        (0xA502, 0, 2), (0xA504, 0, 4), (0xA504, 1, 4)]
    assert all(b.model for b in boards)


def test_board_is_unloaded_at_the_end_of_the_block(sim):
    with varndasqv.Board(0xA508) as board:
        handle = board.handle
        assert (board.info.device_id, board.info.axes, len(board.axes)) == (0xA508, 8, 8)
    assert board.handle is None
    with pytest.raises(ValueError):
        board.axis(0).move(1.0)
    assert varndasqv.lib().QUORVA_EnableDebugLog(handle, b"", 0) == -1  # forgotten
    board.close()


@pytest.mark.parametrize("device_id, instance", [(0xA508, 1), (0xA999, 0)])
def test_missing_board_raises(sim, device_id, instance):
    with pytest.raises(varndasqv.BoardNotFound):
        varndasqv.Board(device_id, instance)


def test_axis_numbers_stop_at_the_last_axis(board):
    assert board.axis(7).number == 7
    with pytest.raises(IndexError):
        board.axis(8)


def test_blocking_moves_arrive(sim, axis):
    started = sim.time()
    axis.move(25.0)
    assert axis.position == 25.0 and axis.done
    assert sim.time() - started > 0.5  # 25 mm at up to 50 mm/s
    axis.move_to(5.0)
    assert axis.position == 5.0
    assert sim.axis_state(0, 0).position == 500  # pulses


def test_move_without_waiting(axis):
    axis.move(10.0, wait=False)
    assert not axis.done
    assert axis.status.state == 0xB  # accelerating
    assert not axis.wait(timeout=0)
    assert axis.wait(poll=0)
    assert axis.position == 10.0 and axis.status.state == 0


@pytest.mark.parametrize("emergency", [False, True])
def test_continuous_run_until_stopped(sim, axis, emergency):
    axis.run(-1)
    sim.advance(0.1)
    assert not axis.done
    axis.stop(emergency=emergency)
    assert axis.wait(poll=0)
    assert axis.position < 0


def test_units_and_presets(axis):
    assert (axis.unit_distance, axis.unit_speed) == (100.0, 100.0)
    axis.position = 12.5
    axis.actual_position = -3.0
    assert (axis.position, axis.actual_position) == (12.5, -3.0)
    axis.move_to(13.0)
    assert axis.position == 13.0


@pytest.mark.parametrize("input_, signal", [
    ("limit_plus", Signals.LIMIT_PLUS), ("limit_minus", Signals.LIMIT_MINUS),
    ("alarm", Signals.ALARM), ("home", Signals.HOME),
])
def test_status_shows_the_axis_inputs(sim, board, input_, signal):
    axis = board.axis(7)
    assert signal not in axis.status.signals
    sim.set_input(0, 7, input_)
    assert signal in axis.status.signals


def test_trace_file_and_its_errors(tmp_path, board, axis):
    board.enable_trace(tmp_path / "motion.dbg")
    axis.move(1.0)
    assert "QUORVA_MC_Move(0x" in (tmp_path / "motion.dbg").read_text()
    with pytest.raises(varndasqv.VarnDasQvError) as error:
        board.enable_trace(tmp_path / "no" / "such" / "dir.dbg")
    assert error.value.code == varndasqv.declarations.QUORVA_ERR_FILE_CREATE
