# fish completion for sorvane-cli. Installed as
# /usr/share/fish/vendor_completions.d/sorvane-cli.fish, where fish looks
# when sorvane-cli is completed; elsewhere copy it into
# ~/.config/fish/completions.
#
# One line an option of `sorvane-cli --help`: -x takes a value (fish
# completes it after "=" or in the next word), -r -F takes a file's name.
# fish cannot say that the value of --symbols is optional: it takes none here.
# tests/packaging/completion_options_test.py holds every completion script
# of this folder to the program's --help.

# No file names but those of the options that take one.
complete -c sorvane-cli -f

complete -c sorvane-cli -s l -l length -x -d 'Characters per password, 3 to 64'
complete -c sorvane-cli -s t -l type -x -a 'digits hex letters mixed' -d 'Kind of characters'
complete -c sorvane-cli -s c -l case -x -a 'lower upper mixed' -d 'Case of the letters'
complete -c sorvane-cli -l symbols -d 'Add symbols: =SET, or +-./:_'
complete -c sorvane-cli -l include -x -d 'Add these characters'
complete -c sorvane-cli -l exclude -x -d 'Leave these characters out'
complete -c sorvane-cli -l exclude-similar -d 'Leave out the look-alikes 0Ooli1Ij'
complete -c sorvane-cli -l allow-similar -d 'Let the look-alikes in'
complete -c sorvane-cli -l exclude-repeats -d 'No character twice within five positions'
complete -c sorvane-cli -l allow-repeats -d 'Let characters repeat'
complete -c sorvane-cli -l no-repeats -d 'No character twice anywhere in the password'
complete -c sorvane-cli -l weighted -d 'Letters and digits weighted as the Windows program draws them'
complete -c sorvane-cli -l min-lower -x -d 'At least N small letters'
complete -c sorvane-cli -l min-upper -x -d 'At least N capitals'
complete -c sorvane-cli -l min-digits -x -d 'At least N digits'
complete -c sorvane-cli -l min-symbols -x -d 'At least N symbols'
complete -c sorvane-cli -l every-kind -d 'At least one of each kind in play'
complete -c sorvane-cli -l words -x -d 'A passphrase of N words, 1 to 32'
complete -c sorvane-cli -l word-list -r -F -d 'The words of a passphrase, one a line'
complete -c sorvane-cli -l separator -x -d 'Between the words'
complete -c sorvane-cli -l capitalize -d 'Each word with a capital first letter'
complete -c sorvane-cli -l min-bits -x -d 'The fewest characters or words for B bits'
complete -c sorvane-cli -s n -l count -x -d 'How many passwords, 1 to 10000000'
complete -c sorvane-cli -s d -l dictionary -r -F -d 'Words the passwords must not be'
complete -c sorvane-cli -s f -l format -x -a 'plain tsv json' -d 'Output format'
complete -c sorvane-cli -s v -l verbose -d 'Tell how many passwords and their least information'
complete -c sorvane-cli -s h -l help -d 'Show the help and exit'
complete -c sorvane-cli -l version -d 'Show the version and exit'
