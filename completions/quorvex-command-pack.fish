# fish completion for the Quorvex Command Pack: installed once and linked
# under each tool's name, where fish looks for it.
# The build names every declared tool here (cmake/packaging.cmake).
set -l tools @QCP_COMPLETED_TOOLS@
for tool in $tools
    complete -c $tool -f -n '__fish_is_first_arg' -l help -d 'Show the help screen'
    complete -c $tool -f -n '__fish_is_first_arg' -l version -d 'Show the version'
end
for tool in PaneShut PaneRevive PaneShrink PaneGrow PanePin PaneUnpin
    complete -c $tool -f -n '__fish_is_first_arg' -a 0 -d 'The active window'
    # The captions of the windows open now.
    complete -c $tool -f -n '__fish_is_first_arg' -a "($tool --list-captions 2>/dev/null)" -d 'An open window'
end
complete -c TrashPurge -f -n '__fish_is_first_arg' -a '(__fish_complete_directories)'
complete -c TrashPurge -f -n 'test (count (commandline -opc)) -eq 2' -a '0\tAsk 1\t"No question" 2\t"No progress" 3\t"No sound"'
complete -c NoticeShow -f -n '__fish_is_first_arg' -a '0\tInformation 1\tQuestion 2\tExclamation 3\tCritical'
complete -c NoticeShow -f
for tool in Start MovieShow
    complete -c $tool -f -n '__fish_is_first_arg' -a 0 -d 'The mode'
    complete -c $tool -F -n 'not __fish_is_first_arg'
end
complete -c PictureShow -f -n '__fish_is_first_arg' -a '0 5 10 30 65' -d 'Seconds'
complete -c PictureShow -f -n 'test (count (commandline -opc)) -eq 2' -a '(__fish_complete_suffix .jpg .jpeg .gif .bmp .png)'
for tool in WaveOnce WaveRepeat
    complete -c $tool -f -n '__fish_is_first_arg' -a '(__fish_complete_suffix .wav)'
end
complete -c FileShow -F
for tool in TaskTable UptimeClock DeskGuard SessionEnd QuipMaker Beep DiceRoll
    complete -c $tool -f
end
